#include "string_grid.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QScrollBar>
#include <QWheelEvent>
#include <cmath>

#include "model/model_profile.h"
#include "model/pattern_store.h"

namespace vqled {

namespace {

const QColor kGridLine(192, 192, 192);
const QColor kFixedFace(240, 240, 240);
const QColor kWhite(255, 255, 255);

constexpr int kZoomSteps[] = {25, 33, 50, 67, 75, 90, 100, 110, 125, 150, 175, 200, 250, 300, 400};
constexpr int kTextZoom = 50;          // the least zoom that shows texts
constexpr int kWheelStep = 120;        // one notch of a wheel
constexpr int kMostChangedCells = 64;  // more changed cells repaint the whole view

int Zoomed(int size, int zoom) {
  return std::max(1, (size * zoom + 50) / 100);
}

}  // namespace

void StringGrid::Axis::Rebuild(int line, int zoom) {
  sizes.resize(base.size());
  for (size_t i = 0; i < base.size(); ++i)
    sizes[i] = static_cast<int>(i) < fixed ? base[i] : Zoomed(base[i], zoom);
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

StringGrid::Anchor StringGrid::Axis::AnchorAt(int at, int offset) const {
  at = std::max(at, FixedExtent());
  if (static_cast<int>(sizes.size()) <= fixed) return {-1, 0, at};
  const int index = ClampedIndexAt(at, offset);
  const int extent = start[index + 1] - start[index];
  return {index, double(at + offset - start[index]) / extent, at};
}

int StringGrid::Axis::OffsetFor(const Anchor& anchor) const {
  if (anchor.index < 0) return 0;
  const int extent = start[anchor.index + 1] - start[anchor.index];
  return static_cast<int>(std::lround(start[anchor.index] + anchor.fraction * extent)) - anchor.at;
}

int64_t StringGrid::Axis::Extent(int first, int last, int zoom, int line) const {
  int64_t extent = 0;
  for (int i = first; i <= last; ++i) extent += Zoomed(base[i], zoom) + line;
  return extent;
}

int StringGrid::Axis::FitZoom(int first, int last, int extent, int line) const {
  int low = kMinZoom;  // the answer when nothing fits
  int high = kMaxZoom;
  while (low < high) {
    const int middle = (low + high + 1) / 2;
    if (Extent(first, last, middle, line) <= extent) {
      low = middle;
    } else {
      high = middle - 1;
    }
  }
  return low;
}

StringGrid::StringGrid(QWidget* parent) : QAbstractScrollArea(parent) {
  columns_.fixed = kFixedColumns;
  rows_.fixed = kFixedRows;
  QFont gridFont(QStringLiteral("Arial Narrow"));
  gridFont.setPointSize(8);
  setFont(gridFont);
  UpdateZoomedFont();
  viewport()->setMouseTracking(true);
  viewport()->setAutoFillBackground(false);
  Relayout();
}

StringGrid::~StringGrid() = default;

void StringGrid::setRowCount(int rows) {
  rows_.base.resize(std::max(rows, 0), defaultRowHeight_);
  Relayout();
}

void StringGrid::setColumnCount(int columns) {
  columns_.base.resize(std::max(columns, 0), defaultColumnWidth_);
  Relayout();
}

void StringGrid::setDefaultRowHeight(int height) {
  defaultRowHeight_ = height;
  std::fill(rows_.base.begin(), rows_.base.end(), height);
  Relayout();
}

void StringGrid::setDefaultColumnWidth(int width) {
  defaultColumnWidth_ = width;
  std::fill(columns_.base.begin(), columns_.base.end(), width);
  Relayout();
}

void StringGrid::setRowHeight(int row, int height) {
  if (row < 0 || row >= rowCount()) return;
  rows_.base[row] = height;
  Relayout();
}

void StringGrid::setColumnWidth(int column, int width) {
  if (column < 0 || column >= columnCount()) return;
  columns_.base[column] = width;
  Relayout();
}

int StringGrid::rowHeight(int row) const {
  return row >= 0 && row < rowCount() ? rows_.base[row] : -1;
}

int StringGrid::columnWidth(int column) const {
  return column >= 0 && column < columnCount() ? columns_.base[column] : -1;
}

void StringGrid::setGridLineWidth(int width) {
  lineWidth_ = std::max(width, 0);
  Relayout();
}

void StringGrid::setCellPainter(CellPaintCallback callback) {
  painter_ = std::move(callback);
  source_ = nullptr;
  RepaintAll();
}

void StringGrid::UseCorePainter(PatternStore& store, const ModelProfile& profile,
                                const int& textVariant, WriteBackCallback onWriteBack) {
  painter_ = nullptr;
  source_ = [&store, &profile, &textVariant, onWriteBack](int column, int row) {
    if (!onWriteBack || !PatternStore::InArea(row, column))
      return PaintCell(store, profile, textVariant, row, column);
    const int32_t before = store.Cell(store.currentArea, row, column);
    const CellPaint paint = PaintCell(store, profile, textVariant, row, column);
    if (store.Cell(store.currentArea, row, column) != before) onWriteBack(row, column, before);
    return paint;
  };
  RepaintAll();
}

void StringGrid::RepaintAll() {
  shown_.valid = false;
  viewport()->update();
}

void StringGrid::invalidate() {
  if (!source_ || !ShownMatchesView()) {
    RepaintAll();
    return;
  }
  int firstColumn = 0, lastColumn = 0, firstRow = 0, lastRow = 0;
  VisibleRanges(firstColumn, lastColumn, firstRow, lastRow);
  QRegion changed;
  int count = 0;
  auto compare = [&](int column, int row) {
    const QRect rect = cellRect(column, row);
    CellPaint paint;
    if (LookOf(column, row, rect, paint).Hash() == *ShownSlot(column, row)) return;
    changed += rect.adjusted(-1, -1, 1, 1);
    ++count;
  };
  const int fixedColumns = std::min(kFixedColumns, columnCount());
  const int fixedRows = std::min(kFixedRows, rowCount());
  for (int row = 0; row < fixedRows + (lastRow - firstRow + 1) && count <= kMostChangedCells;
       ++row) {
    const int r = row < fixedRows ? row : firstRow + row - fixedRows;
    for (int column = 0; column < fixedColumns; ++column) compare(column, r);
    for (int column = firstColumn; column <= lastColumn; ++column) compare(column, r);
  }
  if (count > kMostChangedCells) {
    RepaintAll();
  } else if (!changed.isEmpty()) {
    viewport()->update(changed);
  }
}

bool StringGrid::showsTexts() const {
  return zoom_ >= kTextZoom;
}

void StringGrid::UpdateZoomedFont() {
  zoomedFont_ = font();
  const double scale = std::min(zoom_, 100) / 100.0;
  if (zoomedFont_.pointSizeF() > 0) {
    zoomedFont_.setPointSizeF(zoomedFont_.pointSizeF() * scale);
  } else if (zoomedFont_.pixelSize() > 0) {
    zoomedFont_.setPixelSize(std::max(1, static_cast<int>(zoomedFont_.pixelSize() * scale)));
  }
}

void StringGrid::setZoom(int percent) {
  setZoomAt(percent, QPoint(columns_.FixedExtent(), rows_.FixedExtent()));
}

void StringGrid::setZoomAt(int percent, const QPoint& viewportPos) {
  percent = std::clamp(percent, kMinZoom, kMaxZoom);
  if (percent == zoom_) return;
  const Anchor column = columns_.AnchorAt(viewportPos.x(), HorizontalOffset());
  const Anchor row = rows_.AnchorAt(viewportPos.y(), VerticalOffset());
  zoom_ = percent;
  UpdateZoomedFont();
  Relayout();
  horizontalScrollBar()->setValue(columns_.OffsetFor(column));
  verticalScrollBar()->setValue(rows_.OffsetFor(row));
  emit zoomChanged(zoom_);
  AfterViewMoved();
}

void StringGrid::zoomIn() {
  for (int step : kZoomSteps) {
    if (step > zoom_) return setZoom(step);
  }
}

void StringGrid::zoomOut() {
  for (auto step = std::rbegin(kZoomSteps); step != std::rend(kZoomSteps); ++step) {
    if (*step < zoom_) return setZoom(*step);
  }
}

void StringGrid::fitCells(const GridCellRect& cells) {
  const int left = std::max(cells.left, kFixedColumns);
  const int right = std::min(cells.right, columnCount() - 1);
  const int top = std::max(cells.top, kFixedRows);
  const int bottom = std::min(cells.bottom, rowCount() - 1);
  if (left > right || top > bottom) return;
  const QSize view = viewport()->size();
  const int zoom =
      std::min(columns_.FitZoom(left, right, view.width() - columns_.FixedExtent(), lineWidth_),
               rows_.FitZoom(top, bottom, view.height() - rows_.FixedExtent(), lineWidth_));
  const int before = zoom_;
  zoom_ = zoom;
  UpdateZoomedFont();
  Relayout();
  horizontalScrollBar()->setValue(columns_.start[left] - columns_.FixedExtent());
  verticalScrollBar()->setValue(rows_.start[top] - rows_.FixedExtent());
  if (zoom_ != before) emit zoomChanged(zoom_);
  AfterViewMoved();
}

// The frames in view may have changed without a scroll; a pointer resting
// over the cells now lies over another cell.
void StringGrid::AfterViewMoved() {
  emit gridScrolled();
  if (pointerInside_) emit gridHover(pointer_);
}

int StringGrid::HorizontalOffset() const {
  return horizontalScrollBar()->value();
}
int StringGrid::VerticalOffset() const {
  return verticalScrollBar()->value();
}

void StringGrid::Relayout() {
  columns_.Rebuild(lineWidth_, zoom_);
  rows_.Rebuild(lineWidth_, zoom_);
  const QSize view = viewport()->size();
  QScrollBar* horizontal = horizontalScrollBar();
  horizontal->setRange(
      0, std::max(0, columns_.ScrollExtent() - (view.width() - columns_.FixedExtent())));
  horizontal->setSingleStep(Zoomed(defaultColumnWidth_, zoom_) + lineWidth_);
  horizontal->setPageStep(std::max(1, view.width() - columns_.FixedExtent()));
  QScrollBar* vertical = verticalScrollBar();
  vertical->setRange(0, std::max(0, rows_.ScrollExtent() - (view.height() - rows_.FixedExtent())));
  vertical->setSingleStep(Zoomed(defaultRowHeight_, zoom_) + lineWidth_);
  vertical->setPageStep(std::max(1, view.height() - rows_.FixedExtent()));
  RepaintAll();
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
  viewport()->update(cellRect(current_.column, current_.row));
  current_ = {column, row};
  viewport()->update(cellRect(column, row));
  setSelection({column, row, column, row});
}

void StringGrid::VisibleRanges(int& firstColumn, int& lastColumn, int& firstRow,
                               int& lastRow) const {
  const QSize view = viewport()->size();
  columns_.VisibleScrolling(view.width(), HorizontalOffset(), firstColumn, lastColumn);
  rows_.VisibleScrolling(view.height(), VerticalOffset(), firstRow, lastRow);
}

bool StringGrid::ShownMatchesView() const {
  int firstColumn = 0, lastColumn = 0, firstRow = 0, lastRow = 0;
  VisibleRanges(firstColumn, lastColumn, firstRow, lastRow);
  return shown_.valid && shown_.firstColumn == firstColumn && shown_.lastColumn == lastColumn &&
         shown_.firstRow == firstRow && shown_.lastRow == lastRow &&
         shown_.horizontal == HorizontalOffset() && shown_.vertical == VerticalOffset() &&
         shown_.view == viewport()->size();
}

void StringGrid::ResetShown() {
  VisibleRanges(shown_.firstColumn, shown_.lastColumn, shown_.firstRow, shown_.lastRow);
  shown_.horizontal = HorizontalOffset();
  shown_.vertical = VerticalOffset();
  shown_.view = viewport()->size();
  const size_t columns = kFixedColumns + std::max(0, shown_.lastColumn - shown_.firstColumn + 1);
  const size_t rows = kFixedRows + std::max(0, shown_.lastRow - shown_.firstRow + 1);
  shown_.hashes.assign(columns * rows, 0);
  shown_.valid = true;
}

uint64_t* StringGrid::ShownSlot(int column, int row) {
  const int c = column < kFixedColumns ? column : kFixedColumns + column - shown_.firstColumn;
  const int r = row < kFixedRows ? row : kFixedRows + row - shown_.firstRow;
  const int columns = kFixedColumns + std::max(0, shown_.lastColumn - shown_.firstColumn + 1);
  const size_t slot = static_cast<size_t>(r) * columns + c;
  static uint64_t spare;  // a cell outside the view painted at its edge
  return c >= 0 && c < columns && slot < shown_.hashes.size() ? &shown_.hashes[slot] : &spare;
}

QRgb StringGrid::Background(int column, int row) const {
  if (column < kFixedColumns || row < kFixedRows) return kFixedFace.rgb();
  return isSelected(column, row) ? palette().color(QPalette::Highlight).rgb() : kWhite.rgb();
}

CellLook StringGrid::LookOf(int column, int row, const QRect& rect, CellPaint& paint) const {
  paint = source_(column, row);
  if (!showsTexts()) paint.textCount = 0;
  return CellLook(paint, Background(column, row), rect.size());
}

void StringGrid::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  painter.fillRect(event->rect(), kWhite);
  if (columnCount() == 0 || rowCount() == 0) return;
  painter.setFont(zoomedFont_);
  if (!ShownMatchesView()) ResetShown();
  const QSize view = viewport()->size();
  const int fixedWidth = std::min(columns_.FixedExtent(), view.width());
  const int fixedHeight = std::min(rows_.FixedExtent(), view.height());
  int firstColumn = 0, lastColumn = 0, firstRow = 0, lastRow = 0;
  VisibleRanges(firstColumn, lastColumn, firstRow, lastRow);
  const int fixedColumns = std::min(kFixedColumns, columnCount()) - 1;
  const int fixedRows = std::min(kFixedRows, rowCount()) - 1;
  const QRect exposed = event->rect();
  const QRect scrolling(fixedWidth, fixedHeight, view.width() - fixedWidth,
                        view.height() - fixedHeight);
  PaintRegion(painter, scrolling & exposed, firstColumn, lastColumn, firstRow, lastRow);
  PaintRegion(painter, QRect(fixedWidth, 0, scrolling.width(), fixedHeight) & exposed, firstColumn,
              lastColumn, 0, fixedRows);
  PaintRegion(painter, QRect(0, fixedHeight, fixedWidth, scrolling.height()) & exposed, 0,
              fixedColumns, firstRow, lastRow);
  PaintRegion(painter, QRect(0, 0, fixedWidth, fixedHeight) & exposed, 0, fixedColumns, 0,
              fixedRows);
  PaintCursorFrame(painter);
}

void StringGrid::setCursorCell(int column, int row) {
  viewport()->update(cellRect(cursor_.column, cursor_.row));
  cursor_ = {column, row};
  viewport()->update(cellRect(column, row));
}

// A two-pixel frame inside the cursor cell, in the scrolling part of the
// viewport only, so that it never covers the fixed rows and columns.
void StringGrid::PaintCursorFrame(QPainter& painter) {
  const QRect cell = cellRect(cursor_.column, cursor_.row);
  if (cell.isNull()) return;
  const QSize view = viewport()->size();
  painter.setClipRect(QRect(QPoint(columns_.FixedExtent(), rows_.FixedExtent()),
                            QPoint(view.width() - 1, view.height() - 1)));
  painter.setPen(QPen(palette().color(QPalette::WindowText), 2));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(cell.adjusted(1, 1, -1, -1));
  painter.setClipping(false);
}

// Paints the cells whose pixels (with the grid lines around them) reach into
// clip, in rows from left to right as a full repaint does, so that cells
// sharing a grid line leave it as a full repaint would.
void StringGrid::PaintRegion(QPainter& painter, const QRect& clip, int firstColumn, int lastColumn,
                             int firstRow, int lastRow) {
  if (clip.isEmpty() || firstColumn > lastColumn || firstRow > lastRow) return;
  const int horizontal = HorizontalOffset();
  const int vertical = VerticalOffset();
  const int fromColumn = columns_.IndexAt(clip.left() - 1, horizontal);
  const int toColumn = columns_.IndexAt(clip.right() + 1, horizontal);
  const int fromRow = rows_.IndexAt(clip.top() - 1, vertical);
  const int toRow = rows_.IndexAt(clip.bottom() + 1, vertical);
  if (fromColumn >= 0) firstColumn = std::max(firstColumn, fromColumn);
  if (toColumn >= 0) lastColumn = std::min(lastColumn, toColumn);
  if (fromRow >= 0) firstRow = std::max(firstRow, fromRow);
  if (toRow >= 0) lastRow = std::min(lastRow, toRow);
  painter.setClipRect(clip);
  if (source_ && painter.device()->devicePixelRatioF() == 1) {
    PaintCoreCells(painter, clip, firstColumn, lastColumn, firstRow, lastRow);
  } else {
    PaintCells(painter, clip, firstColumn, lastColumn, firstRow, lastRow);
  }
  if (current_.column >= firstColumn && current_.column <= lastColumn && current_.row >= firstRow &&
      current_.row <= lastRow) {
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(cellRect(current_.column, current_.row).adjusted(0, 0, -1, -1));
  }
  painter.setClipping(false);
}

void StringGrid::PaintCells(QPainter& painter, const QRect& clip, int firstColumn, int lastColumn,
                            int firstRow, int lastRow) {
  painter.fillRect(clip, kGridLine);
  drawer_.UseFontOf(painter);
  const QColor highlight = palette().color(QPalette::Highlight);
  CellPaint paint;
  for (int row = firstRow; row <= lastRow; ++row) {
    for (int column = firstColumn; column <= lastColumn; ++column) {
      const QRect rect = cellRect(column, row);
      if (source_) {
        const CellLook look = LookOf(column, row, rect, paint);
        const uint64_t hash = look.Hash();
        drawer_.DrawCell(painter, paint, look, hash, Background(column, row), rect);
        *ShownSlot(column, row) = hash;
        continue;
      }
      const bool fixed = column < kFixedColumns || row < kFixedRows;
      painter.fillRect(rect, fixed ? kFixedFace : isSelected(column, row) ? highlight : kWhite);
      if (painter_) painter_(painter, column, row, rect);
    }
  }
}

void StringGrid::PaintCoreCells(QPainter& painter, const QRect& clip, int firstColumn,
                                int lastColumn, int firstRow, int lastRow) {
  if (frame_.width() < clip.width() || frame_.height() < clip.height()) {
    frame_ = QImage(clip.size().expandedTo(frame_.size()), QImage::Format_RGB32);
  }
  QPainter framePainter(&frame_);
  framePainter.translate(-clip.topLeft());
  framePainter.setClipRect(clip);
  framePainter.setFont(painter.font());
  framePainter.fillRect(clip, kGridLine);
  drawer_.UseFontOf(framePainter);
  CellPaintDrawer::Canvas canvas{frame_, framePainter, clip.topLeft(), clip};
  CellPaint paint;
  for (int row = firstRow; row <= lastRow; ++row) {
    for (int column = firstColumn; column <= lastColumn; ++column) {
      const QRect rect = cellRect(column, row);
      const CellLook look = LookOf(column, row, rect, paint);
      const uint64_t hash = look.Hash();
      drawer_.DrawCell(canvas, paint, look, hash, Background(column, row), rect);
      *ShownSlot(column, row) = hash;
    }
  }
  framePainter.end();
  painter.drawImage(clip.topLeft(), frame_, QRect(QPoint(0, 0), clip.size()));
}

void StringGrid::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  Relayout();
}

void StringGrid::scrollContentsBy(int, int) {
  RepaintAll();
  emit gridScrolled();
  if (pointerInside_) emit gridHover(pointer_);
}

void StringGrid::mousePressEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  const GridCell cell = cellAt(pos);
  if (event->button() == Qt::LeftButton && cell.column >= kFixedColumns && cell.row >= kFixedRows) {
    anchor_ = cell;
    viewport()->update(cellRect(current_.column, current_.row));
    current_ = cell;
    viewport()->update(cellRect(cell.column, cell.row));
    selecting_ = true;
    setSelection({cell.column, cell.row, cell.column, cell.row});
  }
  emit gridMousePress(event->button(), pos, event->globalPosition().toPoint());
}

void StringGrid::mouseMoveEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  pointer_ = pos;
  pointerInside_ = true;
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

// Ctrl+wheel zooms by a step a notch, keeping the cell under the pointer
// under it; the wheel alone scrolls.
void StringGrid::wheelEvent(QWheelEvent* event) {
  pointer_ = event->position().toPoint();
  pointerInside_ = true;
  if (!(event->modifiers() & Qt::ControlModifier)) {
    wheelTurn_ = 0;
    QAbstractScrollArea::wheelEvent(event);
    return;
  }
  wheelTurn_ += event->angleDelta().y();
  for (; wheelTurn_ >= kWheelStep; wheelTurn_ -= kWheelStep) {
    const int next = *std::upper_bound(std::begin(kZoomSteps), std::end(kZoomSteps) - 1, zoom_);
    setZoomAt(next, pointer_);
  }
  for (; wheelTurn_ <= -kWheelStep; wheelTurn_ += kWheelStep) {
    const int* below = std::lower_bound(std::begin(kZoomSteps), std::end(kZoomSteps), zoom_);
    setZoomAt(below == std::begin(kZoomSteps) ? kMinZoom : *(below - 1), pointer_);
  }
  event->accept();
}

bool StringGrid::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::Leave) pointerInside_ = false;
  return QAbstractScrollArea::viewportEvent(event);
}

void StringGrid::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) {
    UpdateZoomedFont();
    drawer_.ClearCache();
    RepaintAll();
  } else if (event->type() == QEvent::PaletteChange) {
    RepaintAll();
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
