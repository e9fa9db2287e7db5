#include "editor/selection.h"

#include <algorithm>

namespace vqled {

GridCellRect SelectionRect(const EditorPointer& pointer) {
  const GridCell press = pointer.pressCell;
  const GridCell release = pointer.releaseCell;
  return {std::min(press.column, release.column), std::min(press.row, release.row),
          std::max(press.column, release.column), std::max(press.row, release.row)};
}

void PressOnGrid(EditorPointer& pointer, GridCell cell) {
  pointer.pressCell = cell;
}

namespace {

constexpr int kTimeValueRow = 1;
constexpr int kTimeTypeRow = 2;

ReleaseResult ReleaseOnChannelRow(PatternStore& store, const ModelProfile& profile,
                                  EditorPointer& pointer, PointerButton button, GridCell cell) {
  pointer.releaseCell = cell;
  ReleaseResult result;
  result.setsMenuStates = true;
  if (!(pointer.pressCell == pointer.releaseCell)) {
    result.action = RELEASE_OPEN_MENU;  // a drag, whatever the button
    result.addColumnEnabled = false;
    result.deleteColumnEnabled = false;
    result.fillSelectedEnabled = true;
    return result;
  }
  if (button == BUTTON_RIGHT) {
    result.action = RELEASE_OPEN_MENU;
    result.makeCurrentCell = true;
    return result;
  }
  if (button != BUTTON_LEFT) return result;
  if (profile.valueKind == VALUE_KIND_BIT || profile.valueKind == VALUE_KIND_TIMED_BIT) {
    int32_t& value = store.Cell(store.currentArea, cell.row, cell.column);
    value = value == 0 ? store.fadeCode : 0;
    result.action = RELEASE_CELL_TOGGLED;
  } else if (OpensValueEntry(profile.valueKind)) {
    result.action = RELEASE_OPEN_VALUE_ENTRY;
  }
  return result;
}

}  // namespace

bool OpensValueEntry(int kind) {
  return kind == VALUE_KIND_STEP || kind == VALUE_KIND_BYTE || kind == VALUE_KIND_GROUP ||
         kind == VALUE_KIND_PERCENT_MARK;
}

ReleaseResult ReleaseOnGrid(PatternStore& store, const ModelProfile& profile,
                            EditorPointer& pointer, PointerButton button, GridCell cell) {
  pointer.editCell = cell;
  ReleaseResult result;
  if (cell.column < kFirstFrameColumn || cell.row < kTimeValueRow ||
      !PatternStore::InArea(cell.row, cell.column)) {
    return result;
  }
  if (cell.row == kTimeValueRow) {
    if (profile.valueKind != VALUE_KIND_BIT) result.action = RELEASE_OPEN_TIME_VALUES;
    return result;
  }
  if (cell.row == kTimeTypeRow) {
    if (profile.valueKind != VALUE_KIND_BIT && profile.valueKind != VALUE_KIND_STEP) {
      result.action = RELEASE_OPEN_TIME_TYPES;
    }
    return result;
  }
  return ReleaseOnChannelRow(store, profile, pointer, button, cell);
}

std::string HoverLabelText(int savedLanguage, GridCell cell) {
  const std::string channel = std::to_string(cell.row - 2);
  const std::string frame = std::to_string(cell.column - 1);
  if (savedLanguage == 1) return "   No. " + channel + " Num" + "   No. " + frame + "step";
  return "   第 " + channel + " 路" + "   第" + frame + "步";
}

}  // namespace vqled
