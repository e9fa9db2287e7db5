// The profile of the selected controller model: what the catalogue row fixes
// for channels, frames, value kind, areas, block size and command frames.
// One profile is in force at a time; ApplyModelProfile (model_selection.h)
// fills it from the catalogue (model_catalogue.h).
#pragma once

#include "model/pattern_store.h"

namespace vqled {

constexpr int kModelCount = 29;
constexpr int kModelVQM28 = 28;

// Cell value family and encoder selector.
enum ValueKind : int {
  VALUE_KIND_BIT = 0,          // on/off with fade marks, EncodeBitImage
  VALUE_KIND_TIMED_BIT = 1,    // on/off with fade marks, EncodeTimedBitImage
  VALUE_KIND_STEP = 2,         // percent brightness, EncodeStepImage
  VALUE_KIND_BYTE = 3,         // byte brightness, canonical image
  VALUE_KIND_GROUP = 4,        // byte brightness, EncodeGroupImage
  VALUE_KIND_PERCENT_MARK = 7  // percent brightness with marks, canonical image
};

enum AreaMode : int {
  AREA_MODE_UNIFORM = 0,   // all areas alike
  AREA_MODE_CHANNELS = 1,  // each area its own channel count
  AREA_MODE_GRID = 2       // each area its own channel and column count
};

struct ModelProfile {
  int modelIndex = -1;            // ComboBox6's index; outside 0..28 means the fallback row
  int channelsPerController = 0;  // at most the channel rows of an area
  int controllerCount = 1;        // 1..20 where ComboBox4 is enabled, otherwise 1
  int valueKind = VALUE_KIND_BIT;
  int blockSize = 500;  // the only non-zero value before the first application
  int areaCount = 0;    // 0 marks a single-area model
  int defaultColumnWidth = 0;
  bool longCommandFrames = false;
  int areaMode = AREA_MODE_UNIFORM;
  int areaChannels[kAreaCount] = {};
  int areaColumns[kAreaCount] = {};
  int areaLabelOffsets[kAreaCount] = {};  // channelLabelOffset of each area in area mode 1
  int channelLabelOffset = 0;             // of the area shown
};

}  // namespace vqled
