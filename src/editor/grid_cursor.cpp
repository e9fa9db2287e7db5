#include "editor/grid_cursor.h"

#include <algorithm>

namespace vqled {

namespace {

constexpr int kFirstCursorRow = 1;  // the time value row

int LastColumn(const PatternStore& store) {
  return std::clamp(store.gridColumnCount - 1, kFirstFrameColumn, kColumnsPerArea - 1);
}

int LastRow(const PatternStore& store) {
  return std::clamp(store.gridRowCount - 1, kFirstCursorRow, kRowsPerArea - 1);
}

GridCell Clamped(const PatternStore& store, GridCell cell, int firstRow) {
  const int lastRow = LastRow(store);
  return {std::clamp(cell.column, kFirstFrameColumn, LastColumn(store)),
          std::clamp(cell.row, std::min(firstRow, lastRow), lastRow)};
}

// Where a move takes the cell, before clamping.
GridCell Target(const PatternStore& store, GridCell cell, CursorMove move, int pageRows) {
  const int page = std::max(pageRows, 1);
  switch (move) {
    case MOVE_LEFT:
      return {cell.column - 1, cell.row};
    case MOVE_RIGHT:
      return {cell.column + 1, cell.row};
    case MOVE_UP:
      return {cell.column, cell.row - 1};
    case MOVE_DOWN:
      return {cell.column, cell.row + 1};
    case MOVE_PAGE_UP:
      return {cell.column, cell.row - page};
    case MOVE_PAGE_DOWN:
      return {cell.column, cell.row + page};
    case MOVE_HOME:
    case MOVE_USED_LEFT:
      return {kFirstFrameColumn, cell.row};
    case MOVE_USED_UP:
      return {cell.column, cell.row > kFirstChannelRow ? kFirstChannelRow : kFirstCursorRow};
    case MOVE_FIRST:
      return {kFirstFrameColumn, kFirstChannelRow};
    default:
      break;
  }
  const UsedRange used = FindUsedRange(store);
  switch (move) {
    case MOVE_END:
      return {used.lastColumn, cell.row};
    case MOVE_USED_RIGHT:
      return {cell.column < used.lastColumn ? used.lastColumn : LastColumn(store), cell.row};
    case MOVE_USED_DOWN:
      return {cell.column, cell.row < used.lastRow ? used.lastRow : LastRow(store)};
    default:
      return {used.lastColumn, used.lastRow};
  }
}

}  // namespace

UsedRange FindUsedRange(const PatternStore& store) {
  UsedRange used;
  const int lastColumn = LastColumn(store);
  for (int row = kFirstChannelRow; row <= LastRow(store); ++row) {
    const int32_t* cells = store.Row(store.currentArea, row);
    for (int column = lastColumn; column >= kFirstFrameColumn; --column) {
      if (cells[column] == 0) continue;
      used.lastColumn = std::max(used.lastColumn, column);
      used.lastRow = row;
      used.empty = false;
      break;
    }
  }
  return used;
}

void MoveCursor(GridCursor& cursor, const PatternStore& store, CursorMove move, bool extend,
                int pageRows) {
  const int firstRow = extend ? kFirstChannelRow : kFirstCursorRow;
  cursor.cell = Clamped(store, Target(store, cursor.cell, move, pageRows), firstRow);
  cursor.anchor = extend ? Clamped(store, cursor.anchor, firstRow) : cursor.cell;
}

void ClampCursor(GridCursor& cursor, const PatternStore& store) {
  const int firstRow = cursor.anchor == cursor.cell ? kFirstCursorRow : kFirstChannelRow;
  cursor.cell = Clamped(store, cursor.cell, firstRow);
  cursor.anchor = Clamped(store, cursor.anchor, firstRow);
}

bool IsCursorCell(const PatternStore& store, GridCell cell) {
  return Clamped(store, cell, kFirstCursorRow) == cell;
}

GridCellRect CursorSelection(const GridCursor& cursor) {
  return {std::min(cursor.cell.column, cursor.anchor.column),
          std::min(cursor.cell.row, cursor.anchor.row),
          std::max(cursor.cell.column, cursor.anchor.column),
          std::max(cursor.cell.row, cursor.anchor.row)};
}

}  // namespace vqled
