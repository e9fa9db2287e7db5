#include "ui/preview_player.h"

namespace vqled {
namespace {

constexpr int kTicksPerSecond = 1000 / kPreviewTickMs;
constexpr int kTicksPerMinute = 60 * kTicksPerSecond;

// Takes the time of the column being waited for into previewLength and
// previewUnit; a default-time number outside 1..5 keeps the previous values.
void TakeWaitTime(PreviewPlayer& player, const PatternStore& store, int area, int column) {
  const int32_t value = store.frameTime[area].timeValue[column];
  const int32_t type = store.frameTime[area].timeType[column];
  if (type == FRAME_TIME_DEFAULT) {
    if (value >= 1 && value <= kDefaultTimeCount) {
      player.previewLength = store.defaultTime[area][value - 1].value;
      player.previewUnit = store.defaultTime[area][value - 1].unit;
    }
  } else if (type >= FRAME_TIME_MS && type <= FRAME_TIME_MIN) {
    player.previewLength = value;
    player.previewUnit = type - 1;
  }
  if (player.previewUnit == TIME_UNIT_MS) player.previewLength /= kPreviewTickMs;
}

void AdvanceClock(PreviewPlayer& player) {
  switch (player.previewUnit) {
    case TIME_UNIT_MS:
      ++player.previewTicks;
      break;
    case TIME_UNIT_S:
    case TIME_UNIT_MIN: {
      const int perUnit = player.previewUnit == TIME_UNIT_S ? kTicksPerSecond : kTicksPerMinute;
      if (player.previewSubTicks >= perUnit) {
        ++player.previewTicks;
        player.previewSubTicks = 0;
      }
      break;
    }
    default:
      break;
  }
}

}  // namespace

bool TogglePreview(PreviewPlayer& player, PatternStore& store) {
  ComputeAreaLength(store, store.currentArea);
  player.previewTicks = 10000;
  player.previewSubTicks = 0;
  player.previewOffset = 0;
  if (player.running) {
    player.running = false;
  } else {
    player.running = store.lastUsedColumn > 0;
  }
  return player.running;
}

bool PreviewTick(PreviewPlayer& player, const PatternStore& store,
                 int (&shades)[kPreviewLampCount]) {
  const int area = store.currentArea;
  ++player.previewSubTicks;
  TakeWaitTime(player, store, area, player.previewOffset + 1);
  AdvanceClock(player);
  bool shown = false;
  if (player.previewTicks >= player.previewLength) {
    const int column = player.previewOffset + 2;
    for (int k = 0; k < kPreviewLampCount; ++k)
      shades[k] = BrightnessShadeIndex(store.Cell(area, k + kHeaderRows, column));
    ++player.previewOffset;
    player.previewTicks = 0;
    player.previewSubTicks = 0;
    shown = true;
  }
  // Wrap after the last used column, and never step past the area's columns
  // whatever lastUsedColumn another operation left behind.
  if (player.previewOffset >= store.lastUsedColumn - 1 ||
      player.previewOffset + 2 >= kColumnsPerArea)
    player.previewOffset = 0;
  return shown;
}

}  // namespace vqled
