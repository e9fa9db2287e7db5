// The layout of the grid StringGrid1 for a number of channel rows: the row
// count it stores as gridRowCount and the sizes a window gives the grid.
#pragma once

#include "model/model_profile.h"
#include "model/pattern_store.h"

namespace vqled {

constexpr int kMaxControllers = 20;

struct GridLayout {
  int rowCount = 0;            // gridRowCount: channel rows + 3 header rows
  int columnCount = 0;         // 2 fixed columns + frame columns
  int defaultColumnWidth = 0;  // width of the frame columns
  int defaultRowHeight = 15;
  int row0Height = 15;
  int column0Width = 60;  // the row captions
  int column1Width = 5;   // the colour marks
  int fontSize = 8;
  int gridLineWidth = 1;
};

// The channel rows the grid shows for the profile: controllerCount x
// channelsPerController, never more than the channel rows of an area.
int ShownChannelCount(const ModelProfile& profile);

// Sets gridRowCount for that many channel rows (limited to 0..1021, so no
// operation reads or writes outside an area) and returns the grid's layout
// with the model's gridColumnCount.
GridLayout LayoutGrid(PatternStore& store, const ModelProfile& profile, int channels);

}  // namespace vqled
