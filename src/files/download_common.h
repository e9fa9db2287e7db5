// What the download encoders share: a writer over the image buffer, the size
// check made before the first byte, the reading of the form's number texts and
// the loop-mode code of the compact layouts.
#pragma once

#include <cstdint>
#include <string>

#include "files/area_image.h"
#include "files/download_image.h"
#include "model/pattern_store.h"
#include "model/text.h"

namespace vqled::download {

// Writes image bytes from index 0 on, each field cut to its width (16-bit
// fields carry their value modulo 65536, big-endian). It does not check the
// buffer's end: every encoder has checked the image's size before it starts.
class ImageWriter {
 public:
  explicit ImageWriter(ImageBuffer& image) : image_(image) {}
  void Byte(int64_t value) { image_.entry[next_++] = static_cast<uint8_t>(value); }
  void Word(int64_t value) {
    Byte(value >> 8);
    Byte(value);
  }
  void Long(int64_t value) {
    Word(value >> 16);
    Word(value);
  }
  void Zeros(int count) {
    for (int i = 0; i < count; ++i) Byte(0);
  }
  // The cell bytes of channels 1 .. channels in one column; channel rows past
  // the area's last row hold nothing and are sent as 0.
  void ChannelCells(const PatternStore& store, int area, int column, int channels);
  // Sets imageLast to the last byte written.
  void Finish() { image_.imageLast = next_ - 1; }

 private:
  ImageBuffer& image_;
  int next_ = 0;
};

// Refuses an image of `bytes` bytes that would not fit the buffer.
Outcome CheckImageSize(int64_t bytes, int area);

// The integer value of a number control's text, as the form converts it; a
// conversion error names the control.
Outcome ConvertControlText(const std::string& text, const char* control, int& value);

// The number texts of the compact layouts, converted: Edit6 and time1 ..
// time<timeCount>, the first failure reported.
struct CompactNumbers {
  int loopCount = 0;
  int time[3] = {};
};
Outcome ReadCompactNumbers(const DownloadControls& controls, int timeCount,
                           CompactNumbers& numbers);

// The loop-mode code of the compact layouts: 0 RadioButton3 (endless), else 1
// RadioButton2 (counted), else 2 RadioButton1 (once); -1 when none of the three
// is set and the byte is left out.
int CompactLoopCode(const DownloadControls& controls);

// The number of frames an area of last used column L sends: columns 2 .. L.
inline int FrameColumns(int lastColumn) {
  return lastColumn > 1 ? lastColumn - 1 : 0;
}

// Bytes 0 to 22 of the canonical header: channel count, frame count, the five
// default times, enabled, loop mode and loop count of the area.
void WriteAreaSettings(ImageWriter& out, const PatternStore& store, int area, int channels,
                       int frames);

}  // namespace vqled::download
