#include "editor/commands.h"

#include <algorithm>
#include <cstring>

namespace vqled {

namespace {

// A rectangle of grid cells: no coordinate of -1, its ends in order.
bool RectInGrid(const GridCellRect& rect) {
  return rect.left >= 0 && rect.top >= 0 && rect.right >= rect.left && rect.bottom >= rect.top;
}

// The number of cells of a run from `first` that stay inside [0, limit).
int CellsInside(int first, int count, int limit) {
  return std::clamp(limit - first, 0, count);
}

void CopyRectangle(PatternStore& store, EditorClipboard& clip, const GridCellRect& rect,
                   int fillValue) {
  for (int m = 0; m < kClipRows; ++m) {
    std::memset(clip.clipBuffer[m], 0, sizeof(int32_t) * kClipClearedColumns);
  }
  const int right = std::min(rect.right, kColumnsPerArea - 1);
  const int bottom = std::min(rect.bottom, kRowsPerArea - 1);
  const int firstColumn = std::max(rect.left, kFirstFrameColumn);
  for (int row = rect.top; row <= bottom; ++row) {
    const int m = row - rect.top;
    int32_t* cells = store.Row(store.currentArea, row);
    for (int column = firstColumn; column <= right; ++column) {
      const int k = column - rect.left;
      if (m < kClipRows && k < kClipColumns) clip.clipBuffer[m][k] = cells[column];
      if (clip.clearAfterCopy) cells[column] = 0;
      if (clip.fillAfterCopy) cells[column] = fillValue;
    }
  }
  clip.clipLastColumn = std::min(rect.right - rect.left, kClipColumns - 1);
  clip.clipLastRow = std::min(rect.bottom - rect.top, kClipRows - 1);
}

}  // namespace

void ClearClipboard(EditorClipboard& clip) {
  std::memset(clip.clipBuffer, 0, sizeof clip.clipBuffer);
  clip.clipLastColumn = 0;
  clip.clipLastRow = 0;
  clip.clipValue = 0;
  clip.clearAfterCopy = false;
  clip.fillAfterCopy = false;
}

void CopySelection(PatternStore& store, EditorClipboard& clip, const GridCellRect& rect,
                   int fillValue) {
  if (RectInGrid(rect) && PatternStore::InArea(rect.top, rect.left)) {
    clip.clipLastColumn = 0;
    clip.clipLastRow = 0;
    if (rect.left == rect.right && rect.top == rect.bottom) {
      int32_t& cell = store.Cell(store.currentArea, rect.top, rect.left);
      clip.clipValue = cell;
      if (clip.clearAfterCopy) cell = 0;
    } else {
      CopyRectangle(store, clip, rect, fillValue);
    }
  }
  clip.clearAfterCopy = false;
  clip.fillAfterCopy = false;
}

void PasteClip(PatternStore& store, const EditorClipboard& clip, GridCell editCell) {
  if (!PatternStore::InArea(editCell.row, editCell.column)) return;
  if (clip.clipLastColumn == 0 && clip.clipLastRow == 0) {
    store.Cell(store.currentArea, editCell.row, editCell.column) = clip.clipValue;
    return;
  }
  const int rows = CellsInside(editCell.row, clip.clipLastRow + 1, kRowsPerArea);
  const int columns = CellsInside(editCell.column, clip.clipLastColumn + 1, kColumnsPerArea);
  for (int m = 0; m < rows; ++m) {
    std::memcpy(store.Row(store.currentArea, editCell.row + m) + editCell.column,
                clip.clipBuffer[m], sizeof(int32_t) * columns);
  }
}

void InsertColumn(PatternStore& store, GridCell editCell) {
  if (!PatternStore::InArea(editCell.row, editCell.column)) return;
  const int c = editCell.column;
  for (int row = kShiftFirstRow; row <= kShiftLastRow; ++row) {
    int32_t* cells = store.Row(store.currentArea, row);
    if (c < kShiftLastColumn) {
      std::memmove(cells + c + 1, cells + c, sizeof(int32_t) * (kShiftLastColumn - c));
    }
    cells[c] = 0;
  }
}

void DeleteColumn(PatternStore& store, GridCell editCell) {
  if (!PatternStore::InArea(editCell.row, editCell.column)) return;
  const int c = editCell.column;
  for (int row = kShiftFirstRow; row <= kShiftLastRow; ++row) {
    int32_t* cells = store.Row(store.currentArea, row);
    if (c > kShiftLastColumn + 1) {
      cells[c] = 0;  // past the moved columns: the deleted column just empties
      continue;
    }
    std::memmove(cells + c, cells + c + 1, sizeof(int32_t) * (kShiftLastColumn + 1 - c));
    cells[kShiftLastColumn + 1] = 0;
  }
}

namespace {

// The columns a channel copy or paste covers from editCell's column.
int ChannelRunLength(GridCell editCell, int gridColumnCount) {
  const int end = std::min(gridColumnCount, kColumnsPerArea);
  return std::clamp(end - editCell.column, 0, kClipColumns);
}

}  // namespace

void CopyChannel(const PatternStore& store, EditorClipboard& clip, GridCell editCell,
                 int gridColumnCount) {
  if (!PatternStore::InArea(editCell.row, editCell.column)) return;
  std::memcpy(clip.clipBuffer[0], store.Row(store.currentArea, editCell.row) + editCell.column,
              sizeof(int32_t) * ChannelRunLength(editCell, gridColumnCount));
}

void PasteChannel(PatternStore& store, const EditorClipboard& clip, GridCell editCell,
                  int gridColumnCount) {
  if (!PatternStore::InArea(editCell.row, editCell.column)) return;
  std::memcpy(store.Row(store.currentArea, editCell.row) + editCell.column, clip.clipBuffer[0],
              sizeof(int32_t) * ChannelRunLength(editCell, gridColumnCount));
}

}  // namespace vqled
