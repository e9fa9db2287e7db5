// StringGrid: the pattern grid StringGrid1. A scroll area of fixed-size
// cells with one fixed row (frame numbers) and two fixed columns (channel
// captions, colour marks) that stay in place while the frames and channels
// scroll. The grid holds no text of its own: it fills each visible cell with
// white (or the selection highlight) and then hands the cell to the paint
// callback, normally the core cell painter (UseCorePainter).
//
// Coordinates. "Viewport coordinates" are pixels relative to viewport(), the
// area that shows the cells; mouse signals carry them together with the
// pointer's screen position. Cell coordinates are (column, row) as in the
// pattern store; CellAt answers -1 for a coordinate past the last column or
// row (or before the first).
//
// Selection. A left-button press on a frame cell (column >= 2, row >= 1)
// starts a range selection; while the button is held the range follows the
// pointer, clamped to the frame cells, and it stays after the release until
// the next press. Empty frame cells inside the range show the highlight; the
// painter covers lit cells with their value box.
//
// Signals for the form: gridMousePress / gridMouseMove / gridMouseRelease
// carry the button (Qt::NoButton for a move), the viewport position and the
// screen position of every pointer event on the cells. The form connects them
// to StringGrid1MouseDown / StringGrid1MouseMove / StringGrid1MouseUp.
#pragma once

#include <QAbstractScrollArea>
#include <QPoint>
#include <QRect>
#include <QString>
#include <functional>
#include <vector>

#include "editor/cell_painter.h"
#include "editor/selection.h"

class QPainter;

namespace vqled {

struct ModelProfile;
class PatternStore;

// Draws one cell as the core painter describes it, inside the cell rectangle
// rect (the box and the outlines reach one pixel beyond it, over the grid
// lines). text is a scratch string reused from cell to cell.
void DrawCellPaint(QPainter& painter, const CellPaint& paint, const QRect& rect, QString& text);

class StringGrid : public QAbstractScrollArea, public GridGeometry {
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
  int rowCount() const { return static_cast<int>(rowHeights_.size()); }
  int columnCount() const { return static_cast<int>(columnWidths_.size()); }
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
  // Installs the core painter over the store's current area; the three
  // objects must outlive the grid (the form owns them).
  void UseCorePainter(PatternStore& store, const ModelProfile& profile, const int& textVariant);
  void invalidate();  // repaints everything visible

  // Geometry. cellAt takes a viewport position; CellAtScreen a screen position.
  GridCell cellAt(const QPoint& viewportPos) const;
  GridCell CellAtScreen(int x, int y) const override;
  // The cell's rectangle in viewport coordinates (without its grid lines);
  // empty for a cell outside the grid.
  QRect cellRect(int column, int row) const;
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

 signals:
  void gridMousePress(Qt::MouseButton button, QPoint viewportPos, QPoint screenPos);
  void gridMouseMove(Qt::MouseButtons buttons, QPoint viewportPos, QPoint screenPos);
  void gridMouseRelease(Qt::MouseButton button, QPoint viewportPos, QPoint screenPos);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  struct Axis;
  int FixedWidth() const;
  int FixedHeight() const;
  int ColumnLeft(int column) const;  // viewport x of the column's left edge
  int RowTop(int row) const;
  int ColumnAtX(int x) const;
  int RowAtY(int y) const;
  void UpdateScrollBars();
  void ExtendSelection(const QPoint& viewportPos);
  void PaintCells(QPainter& painter, const QRect& area, int firstColumn, int lastColumn,
                  int firstRow, int lastRow);

  std::vector<int> columnWidths_;
  std::vector<int> rowHeights_;
  std::vector<int> columnStart_;  // prefix sums of the frame column widths and lines
  std::vector<int> rowStart_;
  int defaultColumnWidth_ = 64;
  int defaultRowHeight_ = 15;
  int lineWidth_ = 1;
  CellPaintCallback painter_;
  GridCellRect selection_{0, 0, -1, -1};
  GridCell current_{kFixedColumns, kFixedRows};
  GridCell anchor_{-1, -1};
  bool selecting_ = false;
  QString textScratch_;
};

}  // namespace vqled
