// A pattern store and a model profile for the editor's tests.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "editor/selection.h"
#include "model/model_profile.h"
#include "model/pattern_store.h"

namespace vqled {

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
