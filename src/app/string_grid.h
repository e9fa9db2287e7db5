// StringGrid: the pattern grid StringGrid1. A scroll area of cells (a height
// per row, a width per column) with one fixed row (frame numbers) and two fixed columns (channel
// captions, colour marks) that stay in place while the frames and channels
// scroll. The grid holds no text of its own: it fills each visible cell with
// white (or the selection highlight) and then hands the cell to the paint
// callback, normally the core cell painter (UseCorePainter).
//
// Coordinates. "Viewport coordinates" are pixels relative to viewport(), the
// area that shows the cells; mouse signals carry them together with the
// pointer's screen position. Cell coordinates are (column, row) as in the
// pattern store; cellAt answers -1 for a coordinate past the last column or
// row (or before the first).
//
// Selection. A left-button press on a frame cell (column >= 2, row >= 1)
// starts a range selection; while the button is held the range follows the
// pointer, clamped to the frame cells, and it stays after the release until
// the next press. Empty frame cells inside the range show the highlight; the
// painter covers lit cells with their value box.
//
// Signals for the form: gridMousePress / gridMouseRelease carry the button
// that changed, gridMouseMove the buttons held; all three carry the viewport
// position and the screen position of the pointer event on the cells. The
// form connects them to StringGrid1MouseDown / StringGrid1MouseMove /
// StringGrid1MouseUp. gridScrolled follows every scroll (StringGrid1TopLeftChanged);
// gridHover gives the pointer's position again when a wheel scroll or a zoom
// moved other cells under a pointer that stayed where it was.
//
// Zoom. The scrolling columns and rows (column >= 2, row >= 1) are shown at
// zoom percent (25..400) of the sizes set; the sizes set, and what
// rowHeight / columnWidth answer, stay as they are. Texts shrink with a zoom
// below 100% and keep their size above it; below 50% cells show their boxes
// and colours without texts. Ctrl+wheel zooms in steps, keeping the cell
// under the pointer where it is.
//
// Repaints. invalidate() compares what each visible cell would show with what
// it showed when it was last painted and repaints only the cells that changed
// (and everything after a scroll, a zoom or a change of the layout).
#pragma once

#include <QAbstractScrollArea>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <algorithm>
#include <functional>
#include <vector>

#include "cell_drawer.h"
#include "editor/cell_painter.h"
#include "editor/selection.h"

class QPainter;

namespace vqled {

struct ModelProfile;
class PatternStore;

class StringGrid : public QAbstractScrollArea {
  Q_OBJECT

 public:
  // Called for every painted cell after the grid has filled it with its
  // background; rect is the cell in viewport coordinates without grid lines.
  using CellPaintCallback =
      std::function<void(QPainter& painter, int column, int row, const QRect& rect)>;

  static constexpr int kFixedRows = 1;
  static constexpr int kFixedColumns = 2;

  explicit StringGrid(QWidget* parent = nullptr);
  ~StringGrid() override;

  // Layout. Setting a count keeps the sizes set for the remaining rows and
  // columns; new ones take the default size.
  void setRowCount(int rows);
  void setColumnCount(int columns);
  int rowCount() const { return static_cast<int>(rows_.sizes.size()); }
  int columnCount() const { return static_cast<int>(columns_.sizes.size()); }
  void setDefaultRowHeight(int height);   // all rows take this height
  void setDefaultColumnWidth(int width);  // all columns take this width
  void setRowHeight(int row, int height);
  void setColumnWidth(int column, int width);
  int rowHeight(int row) const;
  int columnWidth(int column) const;
  void setGridLineWidth(int width);
  int gridLineWidth() const { return lineWidth_; }

  // Painting.
  void setCellPainter(CellPaintCallback callback);
  // Called when painting a cell wrote a new value into it (a percent value
  // above 100 brought to what the model shows), with the value before.
  using WriteBackCallback = std::function<void(int row, int column, int32_t before)>;
  // Installs the core painter over the store's current area; the three
  // objects must outlive the grid (the form owns them).
  void UseCorePainter(PatternStore& store, const ModelProfile& profile, const int& textVariant,
                      WriteBackCallback onWriteBack = {});
  void invalidate();  // repaints the visible cells whose look changed

  // Zoom, in percent of the sizes set.
  static constexpr int kMinZoom = 25;
  static constexpr int kMaxZoom = 400;
  int zoom() const { return zoom_; }
  void setZoom(int percent);  // keeps the first scrolling cell in view at the top-left
  // Keeps the point of the cells under viewportPos there.
  void setZoomAt(int percent, const QPoint& viewportPos);
  void zoomIn();   // the next step up: 25 33 50 67 75 90 100 110 125 150 175 200 250 300 400
  void zoomOut();  // the next step down
  // Zooms so that the scrolling cells of the rectangle fill the scrolling
  // part of the viewport as far as both directions allow, and scrolls them
  // to its top-left.
  void fitCells(const GridCellRect& cells);
  bool showsTexts() const;

  // Geometry. cellAt takes a viewport position.
  GridCell cellAt(const QPoint& viewportPos) const;
  // The cell's rectangle in viewport coordinates (without its grid lines);
  // empty for a cell outside the grid.
  QRect cellRect(int column, int row) const;
  // Whether a frame cell (column >= 2, row >= 1) lies wholly in view, in the
  // part of the viewport where the cells scroll (not under the fixed cells).
  bool isCellInView(int column, int row) const;
  // Scrolls so that the cell is visible.
  void scrollToCell(int column, int row);

  // Range selection, in cells, both ends included; empty (left > right) when
  // nothing is selected.
  GridCellRect selection() const { return selection_; }
  void setSelection(const GridCellRect& cells);
  bool isSelected(int column, int row) const;
  // The focus mark of the grid; setting it also makes it the only selected cell.
  void setCurrentCell(int column, int row);
  GridCell currentCell() const { return current_; }
  // The keyboard cursor, drawn as a frame around its cell over everything
  // else; (-1, -1) draws none.
  void setCursorCell(int column, int row);
  GridCell cursorCell() const { return cursor_; }

 signals:
  void gridMousePress(Qt::MouseButton button, QPoint viewportPos, QPoint screenPos);
  void gridMouseMove(Qt::MouseButtons buttons, QPoint viewportPos, QPoint screenPos);
  void gridMouseRelease(Qt::MouseButton button, QPoint viewportPos, QPoint screenPos);
  void gridScrolled();  // the frames or channels in view changed
  void gridHover(QPoint viewportPos);
  void zoomChanged(int percent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  bool viewportEvent(QEvent* event) override;

 private:
  // One direction of the grid: the sizes of its columns (or rows), the first
  // `fixed` of which never scroll.
  // Where a point of the cells lies on an axis: a scrolling index and the
  // fraction of its extent, shown at viewport coordinate `at`.
  struct Anchor {
    int index = -1;
    double fraction = 0;
    int at = 0;
  };
  struct Axis {
    std::vector<int> base;   // the sizes set
    std::vector<int> sizes;  // the sizes shown: base, scrolling ones zoomed
    std::vector<int> start;  // start[i]: sum of sizes[j] + line for j < i
    int fixed = 0;
    void Rebuild(int line, int zoom);
    int FixedExtent() const {
      return start.empty() ? 0 : start[std::min<size_t>(fixed, sizes.size())];
    }
    int ScrollExtent() const { return start.empty() ? 0 : start.back() - FixedExtent(); }
    int Position(int index, int offset) const;      // viewport coordinate of the index's edge
    int IndexAt(int coordinate, int offset) const;  // -1 before the first or past the last
    int ClampedIndexAt(int coordinate, int offset) const;  // nearest scrolling index
    // The scrolling indices a view of viewExtent pixels shows (last < first: none).
    void VisibleScrolling(int viewExtent, int offset, int& first, int& last) const;
    Anchor AnchorAt(int at, int offset) const;
    int OffsetFor(const Anchor& anchor) const;
    // The extent indices first..last take at zoom, with their lines.
    int64_t Extent(int first, int last, int zoom, int line) const;
    // The largest zoom at which first..last fit into extent pixels.
    int FitZoom(int first, int last, int extent, int line) const;
  };
  // The cells painted last: their looks' hashes over the visible columns
  // (fixed ones first) and rows, for the geometry they were painted at.
  struct Shown {
    bool valid = false;
    int firstColumn = 0, lastColumn = -1, firstRow = 0, lastRow = -1;
    int horizontal = 0, vertical = 0;
    QSize view;
    std::vector<uint64_t> hashes;
  };
  int HorizontalOffset() const;
  int VerticalOffset() const;
  void Relayout();
  void PaintRegion(QPainter& painter, const QRect& clip, int firstColumn, int lastColumn,
                   int firstRow, int lastRow);
  void PaintCells(QPainter& painter, const QRect& clip, int firstColumn, int lastColumn,
                  int firstRow, int lastRow);
  // The cells of the core painter, drawn into frame_ and copied at once.
  void PaintCoreCells(QPainter& painter, const QRect& clip, int firstColumn, int lastColumn,
                      int firstRow, int lastRow);
  void RepaintAll();
  void UpdateZoomedFont();
  void AfterViewMoved();
  // The visible scrolling ranges of the current geometry.
  void VisibleRanges(int& firstColumn, int& lastColumn, int& firstRow, int& lastRow) const;
  bool ShownMatchesView() const;
  void ResetShown();
  uint64_t* ShownSlot(int column, int row);
  CellLook LookOf(int column, int row, const QRect& rect, CellPaint& paint) const;
  QRgb Background(int column, int row) const;
  void ExtendSelection(const QPoint& viewportPos);
  void AutoScroll(const QPoint& viewportPos);
  void PaintCursorFrame(QPainter& painter);

  Axis columns_;
  Axis rows_;
  int defaultColumnWidth_ = 64;
  int defaultRowHeight_ = 15;
  int lineWidth_ = 1;
  CellPaintCallback painter_;
  std::function<CellPaint(int column, int row)> source_;  // the core painter
  int zoom_ = 100;
  int wheelTurn_ = 0;  // wheel angle not yet zoomed by
  QFont zoomedFont_;
  QPoint pointer_;
  bool pointerInside_ = false;
  Shown shown_;
  QImage frame_;  // the picture PaintCoreCells draws into, reused
  GridCellRect selection_{0, 0, -1, -1};
  GridCell current_{kFixedColumns, kFixedRows};
  GridCell anchor_{-1, -1};
  GridCell cursor_{-1, -1};
  bool selecting_ = false;
  CellPaintDrawer drawer_;
};

}  // namespace vqled
