// Zoom of the grid's frame columns and channel rows with real events: the
// Ctrl+wheel, the keys, fitting the area and the selection, the hover label
// after a wheel scroll and a zoom, clicks at other zooms, and the painted
// pixels of zoomed cells.
#include <QAction>
#include <QMenu>
#include <QPainter>

#include "editor/cell_painter.h"
#include "editor/selection.h"
#include "window_fixture.h"

using namespace vqled;

class WindowZoomTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void ctrlWheelZoomsKeepingTheCellUnderThePointer();
  void keysStepAndResetTheZoom();
  void fitAreaShowsTheUsedFramesAndEveryChannel();
  void fitSelectionShowsTheSelectedCells();
  void hoverLabelFollowsWheelScrollAndZoom();
  void clicksHitTheRightCellsWhenZoomed_data();
  void clicksHitTheRightCellsWhenZoomed();
  void zoomedCellsShowTheirValueBoxColour();
  void zoomChangesNoStoredSize();
  void copiedCellsPaintAsDirectDrawing();

 private:
  StringGrid* Grid() const { return form_->grid(); }
  QWidget* Cells() const { return Grid()->viewport(); }
  QPoint CellCentre(int column, int row) const { return Grid()->cellRect(column, row).center(); }
  void Wheel(QPoint at, QPoint angle, Qt::KeyboardModifiers modifiers) {
    QWheelEvent wheel(QPointF(at), QPointF(Cells()->mapToGlobal(at)), QPoint(), angle, Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(Cells(), &wheel);
  }
  void CtrlWheel(QPoint at, int notches) {
    Wheel(at, QPoint(0, 120 * notches), Qt::ControlModifier);
  }
  void MovePointer(QPoint at) {
    QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(Cells()->mapToGlobal(at)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(Cells(), &move);
  }
  void Trigger(const char* item) {
    form_->rightMenu()->findChild<QAction*>(QString::fromLatin1(item))->trigger();
  }
  QString HoverText(QPoint at) const {
    return QString::fromStdString(
        HoverLabelText(form_->languageMode.savedLanguage, Grid()->cellAt(at)));
  }
  int32_t& CellOf(int column, int row) { return form_->document().store().Cell(0, row, column); }

  std::unique_ptr<WindowFixture> fixture_;
  TForm2* form_ = nullptr;
  Ui::TForm2* ui_ = nullptr;
};

void WindowZoomTest::init() {
  fixture_ = std::make_unique<WindowFixture>();
  form_ = &fixture_->Start();
  ui_ = form_->form();
  QVERIFY(QTest::qWaitForWindowExposed(form_));
  SelectModel(*form_, 13);  // VQ-M13: brightness cells, 16 channels
}

void WindowZoomTest::cleanup() {
  fixture_.reset();
}

// Each notch is a step of the zoom; the frame under the pointer stays under
// it (the 16 channels fit the grid's height, so the rows cannot keep theirs),
// and the zoom stops at 400% and at 25%.
void WindowZoomTest::ctrlWheelZoomsKeepingTheCellUnderThePointer() {
  const QPoint at = CellCentre(12, 9);
  Wheel(at, QPoint(-120 * 20, 0), Qt::NoModifier);  // sixty frames on, room to keep the frame
  const int column = Grid()->cellAt(at).column;
  QVERIFY(column > 30);
  const int steps[] = {110, 125, 150, 175, 200, 250, 300, 400, 400};
  for (int step : steps) {
    CtrlWheel(at, 1);
    QCOMPARE(Grid()->zoom(), step);
    QCOMPARE(Grid()->cellAt(at).column, column);
  }
  const int down[] = {300, 250, 200, 175, 150, 125, 110, 100, 90, 75};
  for (int step : down) {
    CtrlWheel(at, -1);
    QCOMPARE(Grid()->zoom(), step);
    QCOMPARE(Grid()->cellAt(at).column, column);
  }
  CtrlWheel(at, -20);
  QCOMPARE(Grid()->zoom(), StringGrid::kMinZoom);
  // Half notches of a fine wheel add up to one step.
  CtrlWheel(CellCentre(3, 4), 0);
  Wheel(CellCentre(3, 4), QPoint(0, 60), Qt::ControlModifier);
  QCOMPARE(Grid()->zoom(), 25);
  Wheel(CellCentre(3, 4), QPoint(0, 60), Qt::ControlModifier);
  QCOMPARE(Grid()->zoom(), 33);
}

void WindowZoomTest::keysStepAndResetTheZoom() {
  form_->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(form_));
  Grid()->setFocus();
  QTest::keyClick(Grid(), Qt::Key_Plus, Qt::ControlModifier);
  QCOMPARE(Grid()->zoom(), 110);
  QTest::keyClick(Grid(), Qt::Key_Equal, Qt::ControlModifier);
  QCOMPARE(Grid()->zoom(), 125);
  for (int step : {110, 100, 90, 75, 67, 50, 33, 25, 25}) {
    QTest::keyClick(Grid(), Qt::Key_Minus, Qt::ControlModifier);
    QCOMPARE(Grid()->zoom(), step);
  }
  QTest::keyClick(Grid(), Qt::Key_0, Qt::ControlModifier);
  QCOMPARE(Grid()->zoom(), 100);
}

// The used frames (up to the last lit one) and the time and channel rows fill
// the grid: all of them in view, and one direction filled to 90% or more.
void WindowZoomTest::fitAreaShowsTheUsedFramesAndEveryChannel() {
  CellOf(60, 5) = 7;
  CellOf(30, 18) = 9;
  Trigger("FitArea1");
  QVERIFY(Grid()->zoom() < 100);
  QVERIFY(Grid()->isCellInView(2, 1));
  QVERIFY(Grid()->isCellInView(60, 18));
  const QSize view = Cells()->size();
  const QRect last = Grid()->cellRect(60, 18);
  QVERIFY2(last.right() * 10 >= view.width() * 9 || last.bottom() * 10 >= view.height() * 9,
           "the fitted cells leave room in both directions");
  // An empty area fits all of the model's frames, as far as 25% allows.
  ResetArea(form_->document().store(), 0);
  Grid()->setZoom(100);
  Trigger("FitArea1");
  QCOMPARE(Grid()->zoom(), StringGrid::kMinZoom);
  QVERIFY(Grid()->isCellInView(2, 18));
}

void WindowZoomTest::fitSelectionShowsTheSelectedCells() {
  QTest::mousePress(Cells(), Qt::LeftButton, {}, CellCentre(4, 5));
  QTest::mouseRelease(Cells(), Qt::LeftButton, {}, CellCentre(9, 8));
  Trigger("FitSelection1");
  QCOMPARE(Grid()->zoom(), StringGrid::kMaxZoom);  // 6 x 4 cells fit at 400%
  QVERIFY(Grid()->isCellInView(4, 5));
  QVERIFY(Grid()->isCellInView(9, 8));

  Grid()->setZoom(100);
  Grid()->setSelection({3, 2, 40, 17});
  Trigger("FitSelection1");
  QVERIFY(Grid()->zoom() > StringGrid::kMinZoom && Grid()->zoom() < 100);
  QVERIFY(Grid()->isCellInView(3, 2));
  QVERIFY(Grid()->isCellInView(40, 17));
  const QRect last = Grid()->cellRect(40, 17);
  QVERIFY(last.right() * 10 >= Cells()->width() * 9 || last.bottom() * 10 >= Cells()->height() * 9);
}

// The label is recomputed for the resting pointer after a wheel scroll and
// after a zoom from the keys, without a pointer move.
void WindowZoomTest::hoverLabelFollowsWheelScrollAndZoom() {
  const QPoint at = CellCentre(8, 6);
  MovePointer(at);
  QCOMPARE(ui_->cxLabel3->text(), HoverText(at));
  const QString before = ui_->cxLabel3->text();
  Wheel(at, QPoint(-120, 0), Qt::NoModifier);  // sideways: three frames on
  QCOMPARE(Grid()->cellAt(at), (GridCell{11, 6}));
  QCOMPARE(ui_->cxLabel3->text(), HoverText(at));
  QVERIFY(ui_->cxLabel3->text() != before);

  const QString scrolled = ui_->cxLabel3->text();
  Trigger("ZoomIn1");
  Trigger("ZoomIn1");
  QVERIFY(Grid()->cellAt(at) != (GridCell{11, 6}));
  QCOMPARE(ui_->cxLabel3->text(), HoverText(at));
  QVERIFY(ui_->cxLabel3->text() != scrolled);
}

void WindowZoomTest::clicksHitTheRightCellsWhenZoomed_data() {
  QTest::addColumn<int>("zoom");
  QTest::newRow("50%") << 50;
  QTest::newRow("200%") << 200;
}

// A drag from one cell to another, then "填充选中", fills exactly the cells
// between them.
void WindowZoomTest::clicksHitTheRightCellsWhenZoomed() {
  QFETCH(int, zoom);
  Grid()->setZoom(zoom);
  ui_->HYEdit->setText(QStringLiteral("9"));
  QTest::mousePress(Cells(), Qt::LeftButton, {}, CellCentre(5, 4));
  QTest::mouseRelease(Cells(), Qt::LeftButton, {}, CellCentre(7, 6));
  Trigger("N4");
  form_->rightMenu()->hide();
  for (int row = 3; row <= 7; ++row) {
    for (int column = 4; column <= 8; ++column) {
      const bool inside = column >= 5 && column <= 7 && row >= 4 && row <= 6;
      QVERIFY2(CellOf(column, row) == (inside ? 9 : 0),
               qPrintable(QStringLiteral("column %1 row %2").arg(column).arg(row)));
    }
  }
}

// Lit cells show their shade at every zoom; below 50% without their numbers.
void WindowZoomTest::zoomedCellsShowTheirValueBoxColour() {
  CellOf(6, 5) = 200;
  const Rgb shade = brightnessShades[BrightnessShadeIndex(200)];
  for (int zoom : {25, 50, 200, 400}) {
    Grid()->setZoom(zoom);
    const QImage shown = Cells()->grab().toImage();
    const QRect cell = Grid()->cellRect(6, 5);
    QCOMPARE(QColor(shown.pixel(cell.bottomRight())), QColor(shade.red, shade.green, shade.blue));
    QCOMPARE(QColor(shown.pixel(cell.topLeft() - QPoint(1, 1))), QColor(0, 102, 204));
  }
  QCOMPARE(Grid()->showsTexts(), true);
  Grid()->setZoom(33);
  QCOMPARE(Grid()->showsTexts(), false);
}

// Zoom shows other sizes; the sizes set, the store and what is saved stay.
void WindowZoomTest::zoomChangesNoStoredSize() {
  const int width = Grid()->columnWidth(5);
  const int height = Grid()->rowHeight(5);
  Grid()->setZoom(200);
  QCOMPARE(Grid()->cellRect(5, 5).size(), QSize(width * 2, height * 2));
  QCOMPARE(Grid()->columnWidth(5), width);
  QCOMPARE(Grid()->rowHeight(5), height);
  QCOMPARE(Grid()->cellRect(0, 0).size(), QSize(Grid()->columnWidth(0), Grid()->rowHeight(0)));
  Grid()->setZoom(100);
  QCOMPARE(Grid()->cellRect(5, 5).size(), QSize(width, height));
}

// The copied cell images give the pixels that drawing each cell in turn
// gives, lit and empty, selected or not, at several zooms.
void WindowZoomTest::copiedCellsPaintAsDirectDrawing() {
  PatternStore& store = form_->document().store();
  for (int row = 3; row < 19; ++row)
    for (int column = 2; column < 80; column += 1 + row % 3)
      store.Cell(0, row, column) = column * row % 256;
  StringGrid direct;
  direct.setFont(Grid()->font());
  direct.setDefaultColumnWidth(Grid()->columnWidth(4));
  direct.setDefaultRowHeight(Grid()->rowHeight(4));
  direct.setRowCount(Grid()->rowCount());
  direct.setColumnCount(Grid()->columnCount());
  for (int column : {0, 1}) direct.setColumnWidth(column, Grid()->columnWidth(column));
  CellPaintDrawer drawer;
  direct.setCellPainter([&](QPainter& painter, int column, int row, const QRect& rect) {
    drawer.Draw(painter, PaintCell(store, form_->document().profile(), 0, row, column), rect);
  });
  direct.resize(Grid()->size());
  Grid()->setSelection({3, 3, 12, 9});
  direct.setSelection({3, 3, 12, 9});
  for (int zoom : {50, 100, 200}) {
    Grid()->setZoom(zoom);
    direct.setZoom(zoom);
    QImage copied(Cells()->size(), QImage::Format_RGB32);
    QImage drawn(Cells()->size(), QImage::Format_RGB32);
    Cells()->render(&copied);
    direct.viewport()->render(&drawn);
    QVERIFY2(copied == drawn, qPrintable(QStringLiteral("at %1%").arg(zoom)));
  }
}

QTEST_MAIN(WindowZoomTest)
#include "window_zoom_test.moc"
