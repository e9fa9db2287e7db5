// The download images: the dispatch from the model's value kind to its
// encoder, the four layouts that differ from the canonical area image, and the
// debug option that writes the image to a file instead of sending it. Every
// encoder fills the image buffer from index 0 and sets imageLast; none of them
// but the canonical one touches the frame-count bytes.
#pragma once

#include <string>

#include "files/area_image.h"
#include "model/area_settings.h"
#include "model/model_profile.h"
#include "model/pattern_store.h"
#include "model/text.h"

namespace vqled {

// The file the debug option writes, in the current directory.
inline constexpr const char* kDebugImageFile = "send.bin";

// The control states the download encoders read, as the form shows them at
// the moment of the call; the defaults are the form's at start. Number fields
// come as their texts: the encoders convert them when they run, as the form's
// conversion would.
struct DownloadControls {
  bool radioButton1 = false;       // "单次循环" (play once)
  bool radioButton2 = false;       // "多次循环 次数：" (counted loops)
  bool radioButton3 = true;        // "无限循环" (loop for ever)
  std::string edit6Text = "0";     // Edit6, the loop count
  std::string time1Text = "1000";  // time1, default time 1
  std::string time2Text = "800";   // time2, default time 2
  std::string time3Text = "600";   // time3, default time 3
  int timeT1Index = 0;             // timeT1's selected unit item (0 ms, 1 s, 2 min; -1 none)
  int timeT2Index = 0;             // timeT2's selected unit item
  int timeT3Index = 0;             // timeT3's selected unit item
  bool checkBox3 = false;          // "完成后全灭" (all lamps off when done)
  // ComboBox9 .. ComboBox12: the channel counts of light groups one to four on
  // the panel GroupBox6, which is never shown, so no item is ever selected.
  int comboBox9Index = -1;
  int comboBox10Index = -1;
  int comboBox11Index = -1;
  int comboBox12Index = -1;
  bool checkBox4 = false;  // "调试bin": write the image to kDebugImageFile, send nothing
  HeaderControls header;   // what the canonical header's controller-type byte reads
};

// The download controls of what the area band and the default-time band show
// (after ShowAreaSettings, for instance): the checked loop button, Edit6,
// time1 .. time3 with their units and CheckBox3. The light-group lists stay
// unselected and the debug box unticked.
DownloadControls DownloadControlsFromArea(const AreaControls& shown, const HeaderControls& header);

// Builds the download image of an area for the profile's value kind: 0 bit
// image and 2 step image (always of area 0, their models having one area),
// 1 timed bit image, 3 and 7 the canonical image, 4 group image. Then, when
// checkBox4 is ticked, writes the image to the debug file and returns that
// outcome; the caller starts no transfer in that case. A failed outcome (a
// number text that does not convert, an image larger than the buffer, an area
// or value kind that does not exist) leaves the buffer as it was.
Outcome EncodeDownloadImage(PatternStore& store, const ModelProfile& profile,
                            const DownloadControls& controls, int area, ImageBuffer& image);

// The encoders behind the dispatch; each refuses an image that would not fit
// the buffer before it writes a byte.
Outcome EncodeBitImage(PatternStore& store, const ModelProfile& profile,
                       const DownloadControls& controls, ImageBuffer& image);
Outcome EncodeTimedBitImage(PatternStore& store, int area, ImageBuffer& image);
Outcome EncodeStepImage(PatternStore& store, const DownloadControls& controls, ImageBuffer& image);
Outcome EncodeGroupImage(PatternStore& store, const DownloadControls& controls, int area,
                         ImageBuffer& image);

// Writes image bytes 0 .. imageLast to kDebugImageFile (raw bytes, replacing
// what the file held); a file that cannot be written is reported by name and
// reason and left as it was.
Outcome WriteDebugImage(const ImageBuffer& image);

}  // namespace vqled
