// The pattern grid widget with real mouse events on the offscreen platform:
// geometry, scrolling, the range selection, the mouse signals and what the
// core painter puts on the screen.
#include "string_grid.h"

#include <QImage>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>
#include <memory>

#include "model/model_profile.h"
#include "model/pattern_store.h"

using vqled::GridCell;
using vqled::GridCellRect;
using vqled::StringGrid;

class StringGridTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void layoutGivesTheCellRectangles();
  void pointsPastTheLastCellAreMinusOne();
  void scrollingMovesTheFramesButNotTheFixedCells();
  void clickSelectsAFrameCellAndSignals();
  void dragSelectsTheRangeAndKeepsIt();
  void dragPastTheEdgeScrollsOn();
  void rightClickLeavesTheSelection();
  void pressOnACaptionLeavesTheSelection();
  void cellsInViewAndScrollSignal();
  void paintsValuesAndMarksEmptySelectedCells();
  void paintsOnlyTheVisibleCells();

 private:
  // Lays the grid out as the form does for 12 channels on a 4002-column model.
  void LayoutGrid(int channels);
  QPoint Centre(int column, int row) const { return grid->cellRect(column, row).center(); }
  QColor PixelAt(const QImage& image, int column, int row, int dx, int dy) const {
    const QRect rect = grid->cellRect(column, row);
    return image.pixelColor(grid->viewport()->mapTo(grid.get(), rect.bottomRight()) -
                            QPoint(dx, dy));
  }

  std::unique_ptr<vqled::PatternStore> store;
  vqled::ModelProfile profile;
  int textVariant = 1;
  std::unique_ptr<StringGrid> grid;
};

void StringGridTest::init() {
  store = std::make_unique<vqled::PatternStore>();
  vqled::ResetArea(*store, 0);
  profile.valueKind = vqled::VALUE_KIND_BYTE;
  grid = std::make_unique<StringGrid>();
  grid->resize(600, 300);
  LayoutGrid(12);
  grid->UseCorePainter(*store, profile, textVariant);
  grid->show();
  QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
}

void StringGridTest::cleanup() {
  grid.reset();
  store.reset();
}

void StringGridTest::LayoutGrid(int channels) {
  grid->setDefaultColumnWidth(25);
  grid->setDefaultRowHeight(15);
  grid->setRowCount(channels + 3);
  grid->setColumnCount(4002);
  grid->setRowHeight(0, 15);
  grid->setColumnWidth(0, 60);
  grid->setColumnWidth(1, 5);
  grid->setGridLineWidth(1);
}

void StringGridTest::layoutGivesTheCellRectangles() {
  QCOMPARE(grid->rowCount(), 15);
  QCOMPARE(grid->columnCount(), 4002);
  QCOMPARE(grid->cellRect(0, 0), QRect(0, 0, 60, 15));
  QCOMPARE(grid->cellRect(1, 0), QRect(61, 0, 5, 15));
  QCOMPARE(grid->cellRect(2, 1), QRect(67, 16, 25, 15));
  QCOMPARE(grid->cellRect(3, 3), QRect(93, 48, 25, 15));
  QVERIFY(grid->cellRect(4002, 3).isNull());
  QVERIFY(grid->cellRect(2, -1).isNull());
}

void StringGridTest::pointsPastTheLastCellAreMinusOne() {
  QCOMPARE(grid->cellAt(QPoint(0, 0)), (GridCell{0, 0}));
  QCOMPARE(grid->cellAt(QPoint(60, 15)), (GridCell{0, 0}));  // the grid line belongs to the cell
  QCOMPARE(grid->cellAt(QPoint(61, 16)), (GridCell{1, 1}));
  QCOMPARE(grid->cellAt(QPoint(67, 239)), (GridCell{2, 14}));
  QCOMPARE(grid->cellAt(QPoint(67, 240)), (GridCell{2, -1}));  // below the last channel
  QCOMPARE(grid->cellAt(QPoint(-3, -3)), (GridCell{-1, -1}));
  LayoutGrid(12);
  grid->setColumnCount(5);
  QCOMPARE(grid->cellAt(QPoint(67 + 3 * 26 + 2, 20)), (GridCell{-1, 1}));  // right of the last
}

void StringGridTest::scrollingMovesTheFramesButNotTheFixedCells() {
  LayoutGrid(300);
  QScrollBar* horizontal = grid->horizontalScrollBar();
  QScrollBar* vertical = grid->verticalScrollBar();
  QCOMPARE(horizontal->maximum(), 4000 * 26 - (grid->viewport()->width() - 67));
  horizontal->setValue(26 * 10 + 3);  // smooth: part of a column
  vertical->setValue(16 * 5);
  QCOMPARE(grid->cellRect(12, 6).topLeft(), QPoint(67 - 3, 16));
  QCOMPARE(grid->cellAt(QPoint(70, 20)), (GridCell{12, 6}));
  QCOMPARE(grid->cellAt(QPoint(10, 20)), (GridCell{0, 6}));  // the caption column stays
  QCOMPARE(grid->cellAt(QPoint(70, 5)), (GridCell{12, 0}));  // the frame-number row stays
  horizontal->setValue(horizontal->maximum());
  vertical->setValue(vertical->maximum());
  const QSize view = grid->viewport()->size();
  QCOMPARE(grid->cellAt(QPoint(view.width() - 1, view.height() - 1)), (GridCell{4001, 302}));
  grid->scrollToCell(2, 3);
  QCOMPARE(grid->cellRect(2, 3).topLeft(), QPoint(67, 16));
}

void StringGridTest::clickSelectsAFrameCellAndSignals() {
  QSignalSpy press(grid.get(), &StringGrid::gridMousePress);
  QSignalSpy release(grid.get(), &StringGrid::gridMouseRelease);
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, Centre(4, 5));
  QCOMPARE(grid->selection(), (GridCellRect{4, 5, 4, 5}));
  QCOMPARE(grid->currentCell(), (GridCell{4, 5}));
  QCOMPARE(press.count(), 1);
  QCOMPARE(release.count(), 1);
  QCOMPARE(release[0][0].value<Qt::MouseButton>(), Qt::LeftButton);
  QCOMPARE(release[0][1].toPoint(), Centre(4, 5));
  QCOMPARE(release[0][2].toPoint(), grid->viewport()->mapToGlobal(Centre(4, 5)));
}

void StringGridTest::dragSelectsTheRangeAndKeepsIt() {
  QSignalSpy move(grid.get(), &StringGrid::gridMouseMove);
  QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, Centre(4, 4));
  QTest::mouseMove(grid->viewport(), Centre(3, 6));
  QCOMPARE(grid->selection(), (GridCellRect{3, 4, 4, 6}));
  QTest::mouseMove(grid->viewport(), Centre(0, 8));  // into the caption column: clamped
  QCOMPARE(grid->selection(), (GridCellRect{2, 4, 4, 8}));
  QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, Centre(2, 6));
  QCOMPARE(grid->selection(), (GridCellRect{2, 4, 4, 6}));
  QVERIFY(move.count() >= 2);
  QVERIFY(move[0][0].value<Qt::MouseButtons>() & Qt::LeftButton);
  QTest::mouseMove(grid->viewport(), Centre(9, 9));  // the highlight stays after the release
  QCOMPARE(grid->selection(), (GridCellRect{2, 4, 4, 6}));
}

void StringGridTest::dragPastTheEdgeScrollsOn() {
  QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, Centre(4, 4));
  const QPoint outside(grid->viewport()->width() + 5, Centre(4, 6).y());
  QTest::mouseMove(grid->viewport(), outside);
  QCOMPARE(grid->horizontalScrollBar()->value(), 26);
  QTest::mouseMove(grid->viewport(), outside + QPoint(1, 0));
  QCOMPARE(grid->horizontalScrollBar()->value(), 52);
  const GridCell last = grid->cellAt(QPoint(grid->viewport()->width() - 1, 0));
  QCOMPARE(grid->selection(), (GridCellRect{4, 4, last.column, 6}));
  QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, outside);
}

void StringGridTest::rightClickLeavesTheSelection() {
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, Centre(4, 4));
  QSignalSpy release(grid.get(), &StringGrid::gridMouseRelease);
  QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, Centre(7, 7));
  QCOMPARE(grid->selection(), (GridCellRect{4, 4, 4, 4}));
  QCOMPARE(release.count(), 1);
  QCOMPARE(release[0][0].value<Qt::MouseButton>(), Qt::RightButton);
  grid->setCurrentCell(7, 7);  // the form makes the clicked cell current
  QCOMPARE(grid->selection(), (GridCellRect{7, 7, 7, 7}));
}

void StringGridTest::pressOnACaptionLeavesTheSelection() {
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, Centre(4, 4));
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, Centre(0, 6));
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, Centre(6, 0));
  QCOMPARE(grid->selection(), (GridCellRect{4, 4, 4, 4}));
}

// A frame cell is in view while it lies wholly beside and below the fixed
// cells; every scroll is signalled.
void StringGridTest::cellsInViewAndScrollSignal() {
  LayoutGrid(300);
  QSignalSpy scrolled(grid.get(), &StringGrid::gridScrolled);
  QVERIFY(grid->isCellInView(2, 1));
  QVERIFY(grid->isCellInView(5, 8));
  QVERIFY(!grid->isCellInView(200, 5));      // right of the view
  QVERIFY(!grid->isCellInView(5, 200));      // below it
  grid->horizontalScrollBar()->setValue(3);  // frame 1 slides under the colour marks
  QVERIFY(!grid->isCellInView(2, 5));
  QVERIFY(grid->isCellInView(3, 5));
  grid->verticalScrollBar()->setValue(16);  // the time value row goes under the frame numbers
  QVERIFY(!grid->isCellInView(3, 1));
  QVERIFY(grid->isCellInView(3, 2));
  QCOMPARE(scrolled.count(), 2);
}

void StringGridTest::paintsValuesAndMarksEmptySelectedCells() {
  store->Cell(0, 4, 3) = 255;  // shade 15: pure red
  store->Cell(0, 5, 3) = 20;   // shade 1
  grid->setSelection({2, 4, 4, 6});
  const QImage image = grid->grab().toImage();
  const QColor highlight = grid->palette().color(QPalette::Highlight);
  QCOMPARE(PixelAt(image, 3, 4, 1, 1), QColor(255, 0, 0));
  QCOMPARE(PixelAt(image, 3, 5, 1, 1), QColor(255, 239, 239));
  QCOMPARE(PixelAt(image, 2, 4, 1, 1), highlight);              // empty and selected
  QCOMPARE(PixelAt(image, 5, 4, 1, 1), QColor(255, 255, 255));  // empty, not selected
  QCOMPARE(PixelAt(image, 1, 3, 1, 1), QColor(255, 0, 0));      // channel 1's colour mark
  QCOMPARE(PixelAt(image, 1, 4, 1, 1), QColor(0, 128, 0));
  QCOMPARE(PixelAt(image, 0, 5, 1, 1), QColor(192, 192, 192));  // caption box, right of the text
  QCOMPARE(PixelAt(image, 5, 1, 1, 1), QColor(0, 128, 0));      // time row
  // Painting wrote nothing into a byte cell.
  QCOMPARE(store->Cell(0, 4, 3), 255);
  profile.valueKind = vqled::VALUE_KIND_STEP;
  grid->grab();
  QCOMPARE(store->Cell(0, 4, 3), 100);  // a percent cell above 100 is stored as 100 once shown
}

void StringGridTest::paintsOnlyTheVisibleCells() {
  LayoutGrid(1021);
  int calls = 0;
  int lastColumn = -1;
  int lastRow = -1;
  grid->setCellPainter([&](QPainter&, int column, int row, const QRect&) {
    ++calls;
    lastColumn = std::max(lastColumn, column);
    lastRow = std::max(lastRow, row);
  });
  grid->grab();
  const QSize view = grid->viewport()->size();
  const GridCell corner = grid->cellAt(QPoint(view.width() - 1, view.height() - 1));
  QCOMPARE(lastColumn, corner.column);
  QCOMPARE(lastRow, corner.row);
  QCOMPARE(calls, (corner.column + 1) * (corner.row + 1));

  // A grid of the fixed cells only paints those.
  grid->setColumnCount(2);
  grid->setRowCount(1);
  calls = 0;
  lastColumn = -1;
  grid->grab();
  QCOMPARE(calls, 2);
  QCOMPARE(lastColumn, 1);
}

QTEST_MAIN(StringGridTest)
#include "string_grid_test.moc"
