#include "string_grid.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <cstring>

#include "model/model_profile.h"
#include "model/pattern_store.h"

namespace vqled {

namespace {

const QColor kGridLine(192, 192, 192);
const QColor kFixedFace(240, 240, 240);
const QColor kWhite(255, 255, 255);

}  // namespace

void StringGrid::Axis::Rebuild(int line) {
  start.resize(sizes.size() + 1);
  start[0] = 0;
  for (size_t i = 0; i < sizes.size(); ++i) start[i + 1] = start[i] + sizes[i] + line;
}

int StringGrid::Axis::Position(int index, int offset) const {
  return index < fixed ? start[index] : start[index] - offset;
}

int StringGrid::Axis::IndexAt(int coordinate, int offset) const {
  if (coordinate < 0 || sizes.empty()) return -1;
  const int content = coordinate < FixedExtent() ? coordinate : coordinate + offset;
  const auto after = std::upper_bound(start.begin(), start.end(), content);
  const int index = static_cast<int>(after - start.begin()) - 1;
  return index < static_cast<int>(sizes.size()) ? index : -1;
}

int StringGrid::Axis::ClampedIndexAt(int coordinate, int offset) const {
  const int last = static_cast<int>(sizes.size()) - 1;
  if (last < fixed) return last;
  const int index = IndexAt(coordinate, offset);
  if (index == -1) return coordinate < 0 ? fixed : last;
  return std::max(index, fixed);
}

void StringGrid::Axis::VisibleScrolling(int viewExtent, int offset, int& first, int& last) const {
  first = fixed;
  last = fixed - 1;  // nothing scrolls on an axis of fixed cells only
  if (static_cast<int>(sizes.size()) <= fixed) return;
  first = ClampedIndexAt(std::min(FixedExtent(), viewExtent), offset);
  last = ClampedIndexAt(viewExtent - 1, offset);
}

StringGrid::StringGrid(QWidget* parent) : QAbstractScrollArea(parent) {
  columns_.fixed = kFixedColumns;
  rows_.fixed = kFixedRows;
  QFont gridFont(QStringLiteral("Arial Narrow"));
  gridFont.setPointSize(8);
  setFont(gridFont);
  viewport()->setMouseTracking(true);
  viewport()->setAutoFillBackground(false);
  Relayout();
}

StringGrid::~StringGrid() = default;

void StringGrid::setRowCount(int rows) {
  rows_.sizes.resize(std::max(rows, 0), defaultRowHeight_);
  Relayout();
}

void StringGrid::setColumnCount(int columns) {
  columns_.sizes.resize(std::max(columns, 0), defaultColumnWidth_);
  Relayout();
}

void StringGrid::setDefaultRowHeight(int height) {
  defaultRowHeight_ = height;
  std::fill(rows_.sizes.begin(), rows_.sizes.end(), height);
  Relayout();
}

void StringGrid::setDefaultColumnWidth(int width) {
  defaultColumnWidth_ = width;
  std::fill(columns_.sizes.begin(), columns_.sizes.end(), width);
  Relayout();
}

void StringGrid::setRowHeight(int row, int height) {
  if (row < 0 || row >= rowCount()) return;
  rows_.sizes[row] = height;
  Relayout();
}

void StringGrid::setColumnWidth(int column, int width) {
  if (column < 0 || column >= columnCount()) return;
  columns_.sizes[column] = width;
  Relayout();
}

int StringGrid::rowHeight(int row) const {
  return row >= 0 && row < rowCount() ? rows_.sizes[row] : -1;
}

int StringGrid::columnWidth(int column) const {
  return column >= 0 && column < columnCount() ? columns_.sizes[column] : -1;
}

void StringGrid::setGridLineWidth(int width) {
  lineWidth_ = std::max(width, 0);
  Relayout();
}

void StringGrid::setCellPainter(CellPaintCallback callback) {
  painter_ = std::move(callback);
  invalidate();
}

void StringGrid::UseCorePainter(PatternStore& store, const ModelProfile& profile,
                                const int& textVariant) {
  setCellPainter([this, &store, &profile, &textVariant](QPainter& painter, int column, int row,
                                                        const QRect& rect) {
    drawer_.Draw(painter, PaintCell(store, profile, textVariant, row, column), rect);
  });
}

void StringGrid::invalidate() {
  viewport()->update();
}

int StringGrid::HorizontalOffset() const {
  return horizontalScrollBar()->value();
}
int StringGrid::VerticalOffset() const {
  return verticalScrollBar()->value();
}

void StringGrid::Relayout() {
  columns_.Rebuild(lineWidth_);
  rows_.Rebuild(lineWidth_);
  const QSize view = viewport()->size();
  QScrollBar* horizontal = horizontalScrollBar();
  horizontal->setRange(
      0, std::max(0, columns_.ScrollExtent() - (view.width() - columns_.FixedExtent())));
  horizontal->setSingleStep(defaultColumnWidth_ + lineWidth_);
  horizontal->setPageStep(std::max(1, view.width() - columns_.FixedExtent()));
  QScrollBar* vertical = verticalScrollBar();
  vertical->setRange(0, std::max(0, rows_.ScrollExtent() - (view.height() - rows_.FixedExtent())));
  vertical->setSingleStep(defaultRowHeight_ + lineWidth_);
  vertical->setPageStep(std::max(1, view.height() - rows_.FixedExtent()));
  invalidate();
}

GridCell StringGrid::cellAt(const QPoint& viewportPos) const {
  return {columns_.IndexAt(viewportPos.x(), HorizontalOffset()),
          rows_.IndexAt(viewportPos.y(), VerticalOffset())};
}

QRect StringGrid::cellRect(int column, int row) const {
  if (column < 0 || column >= columnCount() || row < 0 || row >= rowCount()) return {};
  return QRect(columns_.Position(column, HorizontalOffset()), rows_.Position(row, VerticalOffset()),
               columns_.sizes[column], rows_.sizes[row]);
}

bool StringGrid::isCellInView(int column, int row) const {
  const QRect cell = cellRect(column, row);
  const QSize view = viewport()->size();
  const QRect scrolling(QPoint(columns_.FixedExtent(), rows_.FixedExtent()),
                        QPoint(view.width() - 1, view.height() - 1));
  return !cell.isNull() && scrolling.contains(cell);
}

void StringGrid::scrollToCell(int column, int row) {
  const QRect cell = cellRect(column, row);
  if (cell.isNull()) return;
  const QSize view = viewport()->size();
  if (column >= kFixedColumns) {
    if (cell.left() < columns_.FixedExtent()) {
      horizontalScrollBar()->setValue(columns_.start[column] - columns_.FixedExtent());
    } else if (cell.right() >= view.width()) {
      horizontalScrollBar()->setValue(columns_.start[column + 1] - view.width());
    }
  }
  if (row >= kFixedRows) {
    if (cell.top() < rows_.FixedExtent()) {
      verticalScrollBar()->setValue(rows_.start[row] - rows_.FixedExtent());
    } else if (cell.bottom() >= view.height()) {
      verticalScrollBar()->setValue(rows_.start[row + 1] - view.height());
    }
  }
}

void StringGrid::setSelection(const GridCellRect& cells) {
  selection_ = cells;
  invalidate();
}

bool StringGrid::isSelected(int column, int row) const {
  return column >= selection_.left && column <= selection_.right && row >= selection_.top &&
         row <= selection_.bottom;
}

void StringGrid::setCurrentCell(int column, int row) {
  current_ = {column, row};
  setSelection({column, row, column, row});
}

void StringGrid::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  painter.fillRect(event->rect(), kWhite);
  if (columnCount() == 0 || rowCount() == 0) return;
  const QSize view = viewport()->size();
  const int fixedWidth = std::min(columns_.FixedExtent(), view.width());
  const int fixedHeight = std::min(rows_.FixedExtent(), view.height());
  int firstColumn = 0;
  int lastColumn = 0;
  columns_.VisibleScrolling(view.width(), HorizontalOffset(), firstColumn, lastColumn);
  int firstRow = 0;
  int lastRow = 0;
  rows_.VisibleScrolling(view.height(), VerticalOffset(), firstRow, lastRow);
  const int fixedColumns = std::min(kFixedColumns, columnCount()) - 1;
  const int fixedRows = std::min(kFixedRows, rowCount()) - 1;
  const QRect scrolling(fixedWidth, fixedHeight, view.width() - fixedWidth,
                        view.height() - fixedHeight);
  PaintRegion(painter, scrolling, firstColumn, lastColumn, firstRow, lastRow);
  PaintRegion(painter, QRect(fixedWidth, 0, scrolling.width(), fixedHeight), firstColumn,
              lastColumn, 0, fixedRows);
  PaintRegion(painter, QRect(0, fixedHeight, fixedWidth, scrolling.height()), 0, fixedColumns,
              firstRow, lastRow);
  PaintRegion(painter, QRect(0, 0, fixedWidth, fixedHeight), 0, fixedColumns, 0, fixedRows);
}

void StringGrid::PaintRegion(QPainter& painter, const QRect& clip, int firstColumn, int lastColumn,
                             int firstRow, int lastRow) {
  if (clip.isEmpty() || firstColumn > lastColumn || firstRow > lastRow) return;
  painter.setClipRect(clip);
  painter.fillRect(clip, kGridLine);
  const QColor highlight = palette().color(QPalette::Highlight);
  for (int row = firstRow; row <= lastRow; ++row) {
    for (int column = firstColumn; column <= lastColumn; ++column) {
      const QRect rect = cellRect(column, row);
      const bool fixed = column < kFixedColumns || row < kFixedRows;
      painter.fillRect(rect, fixed ? kFixedFace : isSelected(column, row) ? highlight : kWhite);
      if (painter_) painter_(painter, column, row, rect);
    }
  }
  if (current_.column >= firstColumn && current_.column <= lastColumn && current_.row >= firstRow &&
      current_.row <= lastRow) {
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(cellRect(current_.column, current_.row).adjusted(0, 0, -1, -1));
  }
  painter.setClipping(false);
}

void StringGrid::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  Relayout();
}

void StringGrid::scrollContentsBy(int, int) {
  invalidate();
  emit gridScrolled();
}

void StringGrid::mousePressEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  const GridCell cell = cellAt(pos);
  if (event->button() == Qt::LeftButton && cell.column >= kFixedColumns && cell.row >= kFixedRows) {
    anchor_ = cell;
    current_ = cell;
    selecting_ = true;
    setSelection({cell.column, cell.row, cell.column, cell.row});
  }
  emit gridMousePress(event->button(), pos, event->globalPosition().toPoint());
}

void StringGrid::mouseMoveEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  if (selecting_ && (event->buttons() & Qt::LeftButton)) {
    AutoScroll(pos);
    ExtendSelection(pos);
  }
  emit gridMouseMove(event->buttons(), pos, event->globalPosition().toPoint());
}

void StringGrid::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  if (event->button() == Qt::LeftButton && selecting_) {
    ExtendSelection(pos);
    selecting_ = false;
  }
  emit gridMouseRelease(event->button(), pos, event->globalPosition().toPoint());
}

void StringGrid::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) {
    drawer_.ClearCache();
    invalidate();
  }
  QAbstractScrollArea::changeEvent(event);
}

void StringGrid::ExtendSelection(const QPoint& viewportPos) {
  const int column = columns_.ClampedIndexAt(viewportPos.x(), HorizontalOffset());
  const int row = rows_.ClampedIndexAt(viewportPos.y(), VerticalOffset());
  setSelection({std::min(anchor_.column, column), std::min(anchor_.row, row),
                std::max(anchor_.column, column), std::max(anchor_.row, row)});
}

void StringGrid::AutoScroll(const QPoint& viewportPos) {
  const QSize view = viewport()->size();
  QScrollBar* horizontal = horizontalScrollBar();
  if (viewportPos.x() >= view.width())
    horizontal->setValue(horizontal->value() + horizontal->singleStep());
  if (viewportPos.x() < columns_.FixedExtent())
    horizontal->setValue(horizontal->value() - horizontal->singleStep());
  QScrollBar* vertical = verticalScrollBar();
  if (viewportPos.y() >= view.height())
    vertical->setValue(vertical->value() + vertical->singleStep());
  if (viewportPos.y() < rows_.FixedExtent())
    vertical->setValue(vertical->value() - vertical->singleStep());
}

}  // namespace vqled
