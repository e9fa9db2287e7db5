// A pattern store and a model profile for the editor's tests, with a grid
// whose cells are 10 x 10 screen pixels from the screen origin.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "editor/selection.h"
#include "model/model_profile.h"
#include "model/pattern_store.h"

namespace vqled {

class TenPixelGrid : public GridGeometry {
 public:
  int columns = 40;
  int rows = 20;
  GridCell CellAtScreen(int x, int y) const override {
    const int column = x / 10;
    const int row = y / 10;
    return {column < columns ? column : -1, row < rows ? row : -1};
  }
  // The screen point in the middle of a cell.
  static ScreenPoint At(int column, int row) { return {column * 10 + 5, row * 10 + 5}; }
};

class EditorTest : public ::testing::Test {
 protected:
  EditorTest() : storeOwner_(std::make_unique<PatternStore>()), store(*storeOwner_) {
    for (int area = 0; area < kAreaCount; ++area) ResetArea(store, area);
    profile.valueKind = VALUE_KIND_BYTE;
    profile.channelsPerController = 12;
    store.gridColumnCount = 4002;
    store.gridRowCount = 15;
  }
  int32_t& At(int row, int column) { return store.Cell(store.currentArea, row, column); }

 private:
  std::unique_ptr<PatternStore> storeOwner_;

 protected:
  PatternStore& store;
  ModelProfile profile;
};

}  // namespace vqled
