// Pictures of an area for people who have no controller at hand: every
// channel as a lamp coloured as the preview colours it, channels wrapped into
// rows of 36 (three boards of 12, as the strip's rows). An animated GIF shows
// one image per frame for the frame's time; a PNG strip shows all frames one
// below the other. Both are built in memory, without a display.
#pragma once

#include <cstdint>
#include <vector>

#include "model/pattern_store.h"
#include "model/shades.h"
#include "model/text.h"
#include "ui/preview_clock.h"

namespace vqled {

constexpr int kLampsPerRenderRow = 36;
constexpr int kMinRenderScale = 1;
constexpr int kMaxRenderScale = 8;
constexpr int kDefaultRenderScale = 2;
constexpr int kLampPitchPerScale = 10;  // pixels from lamp to lamp at scale 1
constexpr int kLampSizePerScale = 8;    // a lamp's square at scale 1
// The longest GIF delay in hundredths of a second (655.35 s).
constexpr int64_t kMaxGifDelayCs = 0xFFFF;

// The background around the lamps, a dark grey that sets off unlit (white)
// lamps.
constexpr Rgb kRenderBackground = {48, 48, 48};

// Where the lamps lie in one picture of a frame.
struct LampLayout {
  int channels = 0;  // lamps; lamp k shows channel k + 1
  int scale = 1;
  int columns = 0;  // lamps per row
  int rows = 0;
  int width = 0;  // pixels
  int height = 0;

  int Pitch() const { return kLampPitchPerScale * scale; }
  int LampSize() const { return kLampSizePerScale * scale; }
  // The top-left pixel of lamp k's square.
  int LampLeft(int lamp) const { return lamp % columns * Pitch() + scale; }
  int LampTop(int lamp) const { return lamp / columns * Pitch() + scale; }
};

// channels limited to 1..1021, scale to 1..8.
LampLayout LayoutLamps(int channels, int scale);

struct AreaPicture {
  int area = 0;
  int channels = 0;    // the model's channels shown for the area
  int frameCount = 0;  // frames 1..frameCount of the area
  int plays = 1;       // kEndlessPlays or a count: the GIF's repeats
  int scale = kDefaultRenderScale;
};

// The GIF delay of frame f in hundredths of a second: the rounding of the
// earlier frames is carried, so the delays of frames 0..f add up to the end
// of frame f rounded to 10 ms.
int64_t GifDelayCs(const PreviewTimeline& timeline, int frame);

// The animated GIF of the area's frames into gif. Fails, with nothing in
// gif, for an area without frames or a frame longer than a GIF frame can
// last.
Outcome RenderAreaGif(const PatternStore& store, const AreaPicture& picture,
                      std::vector<uint8_t>& gif);

// The PNG of the area's frames one below the other, frame 1 on top, half a
// lamp pitch of background between two frames, into png. Fails, with nothing in png, for an area
// without frames.
Outcome RenderAreaPngStrip(const PatternStore& store, const AreaPicture& picture,
                           std::vector<uint8_t>& png);

}  // namespace vqled
