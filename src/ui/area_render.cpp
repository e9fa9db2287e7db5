#include "ui/area_render.h"

#include <gif_lib.h>
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <memory>
#include <string>

#include "ui/lamp_colour.h"

namespace vqled {
namespace {

// Palette: entry 0 the background, entry 1 + i brightnessShades entry i, the
// rest unused (a GIF palette holds a power of two).
constexpr int kPaletteSize = 32;
constexpr uint8_t kBackgroundEntry = 0;
static_assert(1 + kBrightnessShadeCount <= kPaletteSize);

Rgb PaletteColour(int entry) {
  if (entry == kBackgroundEntry) return kRenderBackground;
  if (entry <= kBrightnessShadeCount) return brightnessShades[entry - 1];
  return kRenderBackground;
}

// One picture of a frame as palette entries, painted anew for each frame.
class FrameCanvas {
 public:
  explicit FrameCanvas(const LampLayout& layout)
      : layout_(layout), pixels_(static_cast<size_t>(layout.width) * layout.height) {}

  void Paint(const PatternStore& store, int area, int column) {
    std::fill(pixels_.begin(), pixels_.end(), kBackgroundEntry);
    const int size = layout_.LampSize();
    for (int k = 0; k < layout_.channels; ++k) {
      const int32_t value = store.Cell(area, k + kHeaderRows, column);
      const auto entry = static_cast<uint8_t>(1 + BrightnessShadeIndex(value));
      for (int y = layout_.LampTop(k); y < layout_.LampTop(k) + size; ++y)
        std::fill_n(Row(y) + layout_.LampLeft(k), size, entry);
    }
  }
  uint8_t* Row(int y) { return pixels_.data() + static_cast<size_t>(y) * layout_.width; }
  // A row of background: the top row, which crosses no lamp.
  uint8_t* GapRow() { return Row(0); }

 private:
  const LampLayout& layout_;
  std::vector<uint8_t> pixels_;
};

Text NoFrames(int area) {
  const std::string n = std::to_string(area);
  return {"区 " + n + " 没有帧，无法生成图片", "area " + n + " has no frames to picture"};
}

Text FrameTooLong(int area, int frame, int64_t ms) {
  const std::string where = std::to_string(area);
  const std::string f = std::to_string(frame + 1);
  const std::string t = std::to_string(ms);
  return {"区 " + where + " 第 " + f + " 帧的时间 " + t + " ms 超过 GIF 一帧的最长时间 655350 ms",
          "frame " + f + " of area " + where + " lasts " + t +
              " ms, longer than a GIF frame can (655350 ms)"};
}

Text PictureFailed(const char* kind, const std::string& reason) {
  return {std::string(kind) + " 图片生成失败：" + reason,
          std::string("cannot build the ") + kind + " picture: " + reason};
}

int AppendGifBytes(GifFileType* gif, const GifByteType* bytes, int length) {
  auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
  out->insert(out->end(), bytes, bytes + length);
  return length;
}

struct GifCloser {
  void operator()(GifFileType* gif) const { EGifCloseFile(gif, nullptr); }
};

// The NETSCAPE2.0 block that repeats the animation: for ever for endless
// plays, otherwise plays - 1 more times; a single play needs none.
bool PutRepeats(GifFileType* gif, int plays) {
  if (plays == 1) return true;
  const int repeats = plays == kEndlessPlays ? 0 : std::min(plays - 1, 0xFFFF);
  const GifByteType loop[3] = {1, static_cast<GifByteType>(repeats & 0xFF),
                               static_cast<GifByteType>(repeats >> 8)};
  return EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
         EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0") == GIF_OK &&
         EGifPutExtensionBlock(gif, 3, loop) == GIF_OK && EGifPutExtensionTrailer(gif) == GIF_OK;
}

bool PutFrame(GifFileType* gif, FrameCanvas& canvas, const LampLayout& layout, int64_t delayCs) {
  GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, static_cast<int>(delayCs),
                               NO_TRANSPARENT_COLOR};
  GifByteType extension[4];
  EGifGCBToExtension(&control, extension);
  if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension) != GIF_OK ||
      EGifPutImageDesc(gif, 0, 0, layout.width, layout.height, false, nullptr) != GIF_OK)
    return false;
  for (int y = 0; y < layout.height; ++y)
    if (EGifPutLine(gif, canvas.Row(y), layout.width) != GIF_OK) return false;
  return true;
}

Outcome WriteGif(const PatternStore& store, const AreaPicture& picture,
                 const PreviewTimeline& timeline, std::vector<uint8_t>& gif) {
  const LampLayout layout = LayoutLamps(picture.channels, picture.scale);
  int error = 0;
  std::unique_ptr<GifFileType, GifCloser> file(EGifOpen(&gif, AppendGifBytes, &error));
  if (!file) return Outcome::Fail(PictureFailed("GIF", GifErrorString(error)));
  GifColorType colours[kPaletteSize];
  for (int i = 0; i < kPaletteSize; ++i) {
    const Rgb c = PaletteColour(i);
    colours[i] = {c.red, c.green, c.blue};
  }
  ColorMapObject* palette = GifMakeMapObject(kPaletteSize, colours);
  EGifSetGifVersion(file.get(), true);
  const bool headed =
      palette != nullptr && EGifPutScreenDesc(file.get(), layout.width, layout.height, 8,
                                              kBackgroundEntry, palette) == GIF_OK;
  GifFreeMapObject(palette);
  bool written = headed && PutRepeats(file.get(), picture.plays);
  FrameCanvas canvas(layout);
  for (int f = 0; written && f < timeline.frameCount; ++f) {
    canvas.Paint(store, picture.area, f + kFirstFrameColumn);
    written = PutFrame(file.get(), canvas, layout, GifDelayCs(timeline, f));
  }
  const int failure = file->Error;
  if (EGifCloseFile(file.release(), &error) != GIF_OK) written = false;
  if (!written)
    return Outcome::Fail(PictureFailed("GIF", GifErrorString(failure ? failure : error)));
  return Outcome::Ok();
}

void AppendPngBytes(png_structp png, png_bytep bytes, png_size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), bytes, bytes + length);
}

void FlushNothing(png_structp) {}

// libpng reports a failure by a long jump back into WritePng; the message
// is kept for the caller.
void KeepPngError(png_structp png, png_const_charp message) {
  *static_cast<std::string*>(png_get_error_ptr(png)) = message;
  png_longjmp(png, 1);
}

void IgnorePngWarning(png_structp, png_const_charp) {}

// Only plain data lives across the setjmp: the canvas and the output belong
// to the caller.
bool WritePng(const PatternStore& store, const AreaPicture& picture, const LampLayout& layout,
              int frameCount, FrameCanvas& canvas, std::vector<uint8_t>& png, std::string& reason) {
  png_structp write =
      png_create_write_struct(PNG_LIBPNG_VER_STRING, &reason, KeepPngError, IgnorePngWarning);
  png_infop info = write != nullptr ? png_create_info_struct(write) : nullptr;
  if (info == nullptr) {
    png_destroy_write_struct(&write, nullptr);
    reason = "out of memory";
    return false;
  }
  if (setjmp(png_jmpbuf(write))) {
    png_destroy_write_struct(&write, &info);
    return false;
  }
  png_set_write_fn(write, &png, AppendPngBytes, FlushNothing);
  png_set_user_limits(write, PNG_UINT_31_MAX, PNG_UINT_31_MAX);  // a tall strip is no error
  const int gap = layout.Pitch() / 2;  // background rows between two frames
  const auto height = static_cast<png_uint_32>(layout.height + gap) * frameCount - gap;
  png_set_IHDR(write, info, layout.width, height, 8, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_color colours[1 + kBrightnessShadeCount];
  for (int i = 0; i <= kBrightnessShadeCount; ++i) {
    const Rgb c = PaletteColour(i);
    colours[i] = {c.red, c.green, c.blue};
  }
  png_set_PLTE(write, info, colours, 1 + kBrightnessShadeCount);
  png_write_info(write, info);
  for (int f = 0; f < frameCount; ++f) {
    canvas.Paint(store, picture.area, f + kFirstFrameColumn);
    for (int y = 0; y < layout.height; ++y) png_write_row(write, canvas.Row(y));
    for (int y = 0; y < gap && f + 1 < frameCount; ++y) png_write_row(write, canvas.GapRow());
  }
  png_write_end(write, nullptr);
  png_destroy_write_struct(&write, &info);
  return true;
}

}  // namespace

LampLayout LayoutLamps(int channels, int scale) {
  LampLayout layout;
  layout.channels = std::clamp(channels, 1, kMaxChannels);
  layout.scale = std::clamp(scale, kMinRenderScale, kMaxRenderScale);
  layout.columns = std::min(layout.channels, kLampsPerRenderRow);
  layout.rows = (layout.channels + layout.columns - 1) / layout.columns;
  layout.width = layout.columns * layout.Pitch();
  layout.height = layout.rows * layout.Pitch();
  return layout;
}

int64_t GifDelayCs(const PreviewTimeline& timeline, int frame) {
  const auto roundedCs = [](int64_t ms) { return (ms + 5) / 10; };
  return roundedCs(timeline.endMs[frame]) - roundedCs(timeline.StartMs(frame));
}

Outcome RenderAreaGif(const PatternStore& store, const AreaPicture& picture,
                      std::vector<uint8_t>& gif) {
  gif.clear();
  auto timeline = std::make_unique<PreviewTimeline>();
  BuildTimeline(store, picture.area, picture.frameCount, *timeline);
  if (timeline->frameCount == 0) return Outcome::Fail(NoFrames(picture.area));
  for (int f = 0; f < timeline->frameCount; ++f)
    if (GifDelayCs(*timeline, f) > kMaxGifDelayCs)
      return Outcome::Fail(FrameTooLong(picture.area, f, timeline->LengthMs(f)));
  Outcome written = WriteGif(store, picture, *timeline, gif);
  if (!written.ok) gif.clear();
  return written;
}

Outcome RenderAreaPngStrip(const PatternStore& store, const AreaPicture& picture,
                           std::vector<uint8_t>& png) {
  png.clear();
  const int frameCount = std::clamp(picture.frameCount, 0, kMaxPreviewFrames);
  if (frameCount == 0) return Outcome::Fail(NoFrames(picture.area));
  const LampLayout layout = LayoutLamps(picture.channels, picture.scale);
  FrameCanvas canvas(layout);
  std::string reason;
  if (WritePng(store, picture, layout, frameCount, canvas, png, reason)) return Outcome::Ok();
  png.clear();
  return Outcome::Fail(PictureFailed("PNG", reason));
}

}  // namespace vqled
