// Reading canonical area images back into the store. The readers work on
// bytes already in memory: a file is read whole, checked whole, and only then
// decoded, so a bad file changes no area.
#pragma once

#include <cstddef>
#include <cstdint>

#include "model/pattern_store.h"

namespace vqled {

// The three readers of canonical images; they differ in the default-time
// values that replace a 0, in whether endMode is taken, and in what the
// caller does around them (the single-area import clears the current area).
enum AreaReader : int {
  READER_RESUME = 0,      // tempRGB.bin: areas 0..19, endMode restored
  READER_ALL_AREAS = 1,   // .Aled import: areas 0..19, endMode kept
  READER_SINGLE_AREA = 2  // .led import: the current area, zeros kept, endMode kept
};

constexpr int kImageHeaderBytes = 30;

enum ImageFault : int {
  IMAGE_FAULT_NONE = 0,
  IMAGE_FAULT_SHORT_HEADER,  // fewer than 30 bytes left for the header
  IMAGE_FAULT_SHORT_FRAMES,  // the header announces more frame bytes than are left
  IMAGE_FAULT_CHANNELS,      // N above 1021: whole, but wider than an area (VQ-M15 files of
                             // other tools carry 3068 channels); only 1021 of them can be read
  IMAGE_FAULT_FRAMES         // F above 4008: more frame columns than an area has
};

// What the header of the image at the start of some bytes announces.
struct ImageExtent {
  ImageFault fault = IMAGE_FAULT_NONE;
  int channels = 0;      // N
  int frames = 0;        // F
  size_t length = 0;     // 30 + F * (3 + N), the bytes the image takes
  size_t available = 0;  // the bytes there were
};

// The header fields of an image, as stored (before any reader replaces a
// zero default time).
struct ImageHeader {
  int channels = 0;
  int frames = 0;
  DefaultTime defaultTime[kDefaultTimeCount] = {};
  int enabled = 0;
  int loopMode = 0;
  int loopCount = 0;
  int endMode = 0;
  int controllerType = 0;
};

// Reads the 30 header bytes at data.
ImageHeader ReadImageHeader(const uint8_t* data);

// Reads the header at data[0..size) and checks that the image fits an area
// and the bytes. Reads nothing past size. A wide image is reported as such
// only when it is otherwise whole.
ImageExtent CheckAreaImage(const uint8_t* data, size_t size);

// Decodes the image at data[0..size) into an area, as the reader does: default times (a 0 replaced
// by the reader's own value, except on the single-area import), enabled, loopMode, loopCount,
// endMode (resume reader only), then the time and N cells of each frame column 2 .. F + 1; of a
// wide image only the first 1021 channels. Leaves the channels read in scanRowCount and F in
// lastUsedColumn. Returns the bytes used, or 0, touching nothing, when CheckAreaImage finds the
// image cut short or longer than an area.
size_t DecodeAreaImage(PatternStore& store, const uint8_t* data, size_t size, int area,
                       AreaReader reader);

}  // namespace vqled
