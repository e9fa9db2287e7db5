#include "model/grid_layout.h"

#include <algorithm>
#include <cstdint>

namespace vqled {

int ShownChannelCount(const ModelProfile& profile) {
  const int64_t total = int64_t{profile.controllerCount} * profile.channelsPerController;
  return static_cast<int>(std::clamp<int64_t>(total, 0, kMaxChannels));
}

GridLayout LayoutGrid(PatternStore& store, const ModelProfile& profile, int channels) {
  store.gridRowCount = std::clamp(channels, 0, kMaxChannels) + kHeaderRows;
  GridLayout layout;
  layout.rowCount = store.gridRowCount;
  layout.columnCount = store.gridColumnCount;
  layout.defaultColumnWidth = profile.defaultColumnWidth;
  return layout;
}

}  // namespace vqled
