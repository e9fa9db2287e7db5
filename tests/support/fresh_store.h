// A store as the form holds it after start-up: every area in the empty state
// with the start-up default times 1000, 800, 600, 400, 200 ms, and the grid
// laid out for `channels` channel rows and 4002 columns.
#pragma once

#include "model/pattern_store.h"

namespace vqled {

// Every area empty, with the start-up default times.
inline void ResetToStartupAreas(PatternStore& store) {
  for (int a = 0; a < kAreaCount; ++a) {
    ResetArea(store, a);
    const int32_t values[kDefaultTimeCount] = {1000, 800, 600, 400, 200};
    for (int k = 0; k < kDefaultTimeCount; ++k) store.defaultTime[a][k] = {values[k], 0};
  }
}

inline void PrepareFreshStore(PatternStore& store, int channels) {
  ResetToStartupAreas(store);
  store.gridRowCount = channels + kHeaderRows;
  store.gridColumnCount = 4002;
}

}  // namespace vqled
