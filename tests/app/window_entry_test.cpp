// Real pointer events on the grid of the window: clicks that toggle cells,
// the value box HYEdit and its rules, the two time lists, the popup menu
// after a right click and after a drag, and the hover label.
#include <QAction>
#include <QMenu>
#include <QScrollBar>

#include "window_fixture.h"

using namespace vqled;

class WindowEntryTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void leftClickTogglesOnOffCells();
  void valueBoxLightsAndKeepsWhatWasTyped();
  void valueBoxOnALitCellClearsUnlessEnterConfirms();
  void valueBoxTextRules();
  void timeTypeListStoresTheType();
  void timeValueListOffersNumbersByKindAndType();
  void menuHoldsItsItemsInOrder();
  void rightClickAndDragOpenTheMenu();
  void hoverLabelNamesChannelAndFrame();
  void pointerOffTheGridHidesTheFloatingControls();
  void menuCommandsActOnTheDraggedRectangle();
  void runDialogOpensAtTheClickedCellAndWritesTheRun();
  void menuStatesFollowEveryReleaseOnAChannelRow();
  void dragThatScrollsActsOnTheHighlightedRectangle();
  void floatingControlsFollowTheirCellWhileTheGridScrolls();

 private:
  QWidget* Cells() const { return form_->grid()->viewport(); }
  QPoint CellCentre(int column, int row) const {
    return form_->grid()->cellRect(column, row).center();
  }
  void Click(int column, int row, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(Cells(), button, {}, CellCentre(column, row));
  }
  // A pointer move over the cell with the given buttons held.
  void MoveTo(int column, int row, Qt::MouseButtons buttons = Qt::NoButton) {
    MovePointer(CellCentre(column, row), buttons);
  }
  void MovePointer(QPointF at, Qt::MouseButtons buttons) {
    QMouseEvent move(QEvent::MouseMove, at, Cells()->mapToGlobal(at), Qt::NoButton, buttons,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(Cells(), &move);
  }
  // Notches of a sideways wheel over the grid: three frames further on for
  // each (back for a negative count).
  void WheelSideways(int notches) {
    const QPointF at = CellCentre(3, 8);
    QWheelEvent wheel(at, Cells()->mapToGlobal(at), QPoint(), QPoint(-120 * notches, 0),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(Cells(), &wheel);
  }
  // The grid cell under the middle of a floating control.
  GridCell CellUnder(QWidget* control) const {
    return form_->grid()->cellAt(Cells()->mapFrom(form_, control->geometry().center()));
  }
  bool ItemEnabled(const char* name) const {
    return form_->rightMenu()->findChild<QAction*>(QString::fromLatin1(name))->isEnabled();
  }
  // A pointer move with no button held over a widget outside the grid.
  static void MoveOver(QWidget* widget, QPoint at) {
    QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(widget->mapToGlobal(at)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &move);
  }
  void Leave() {
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(ui_->HYEdit, &leave);
  }
  int32_t CellOf(int column, int row) const {
    return form_->document().store().Cell(0, row, column);
  }

  std::unique_ptr<WindowFixture> fixture_;
  TForm2* form_ = nullptr;
  Ui::TForm2* ui_ = nullptr;
};

void WindowEntryTest::init() {
  fixture_ = std::make_unique<WindowFixture>();
  form_ = &fixture_->Start();
  ui_ = form_->form();
  QVERIFY(QTest::qWaitForWindowExposed(form_));
}

void WindowEntryTest::cleanup() {
  fixture_.reset();
}

void WindowEntryTest::leftClickTogglesOnOffCells() {
  SelectModel(*form_, 1);  // VQ-M01: on/off cells
  Click(3, 4);
  QCOMPARE(CellOf(3, 4), 255);
  Click(3, 4);
  QCOMPARE(CellOf(3, 4), 0);
  ui_->ComboBox8->setCurrentIndex(2);
  emit ui_->ComboBox8->activated(2);  // "渐亮"
  Click(5, 3);
  QCOMPARE(CellOf(5, 3), 3);
  Click(5, 1);  // the time value row opens nothing on this kind
  Click(0, 4);  // nor does the caption column, but editCell follows the release
  QVERIFY(ui_->TimeComb2->isHidden());
  QCOMPARE(form_->entry().pointer.editCell, (GridCell{0, 4}));
  QVERIFY(ui_->HYEdit->isHidden());
}

// A click on an empty brightness cell stores the box's number and opens the
// box over the cell; typing 40 and leaving the box stores 40.
void WindowEntryTest::valueBoxLightsAndKeepsWhatWasTyped() {
  SelectModel(*form_, 13);  // VQ-M13: brightness cells, 16 channels
  Click(4, 5);
  QCOMPARE(CellOf(4, 5), 255);
  QVERIFY(ui_->HYEdit->isVisible());
  QCOMPARE(ui_->HYEdit->text(), QStringLiteral("255"));
  const QRect cell = form_->grid()->cellRect(4, 5);
  QCOMPARE(ui_->HYEdit->size(), cell.size() + QSize(1, 1));
  QTest::keyClick(ui_->HYEdit, Qt::Key_4);  // the shown number is replaced, not added to
  QCOMPARE(ui_->HYEdit->text(), QStringLiteral("4"));
  QTest::keyClick(ui_->HYEdit, Qt::Key_0);
  Leave();
  QVERIFY(ui_->HYEdit->isHidden());
  QCOMPARE(CellOf(4, 5), 40);
  Click(6, 5);  // the box keeps its last text
  QCOMPARE(CellOf(6, 5), 40);
}

void WindowEntryTest::valueBoxOnALitCellClearsUnlessEnterConfirms() {
  SelectModel(*form_, 13);  // VQ-M13: brightness cells, 16 channels
  form_->document().store().Cell(0, 3, 2) = 120;
  Click(2, 3);
  QCOMPARE(CellOf(2, 3), 0);
  QTest::keyClicks(ui_->HYEdit, QStringLiteral("77"));
  Leave();
  QCOMPARE(CellOf(2, 3), 0);
  form_->document().store().Cell(0, 3, 2) = 120;
  Click(2, 3);
  QCOMPARE(CellOf(2, 3), 0);
  QVERIFY(ui_->HYEdit->isVisible());
  QTest::keyClicks(ui_->HYEdit, QStringLiteral("90"));
  QCOMPARE(ui_->HYEdit->text(), QStringLiteral("90"));
  QTest::keyClick(ui_->HYEdit, Qt::Key_Return);
  QCOMPARE(CellOf(2, 3), 90);
  QVERIFY(ui_->HYEdit->isHidden());
}

void WindowEntryTest::valueBoxTextRules() {
  SelectModel(*form_, 13);  // VQ-M13: brightness cells, 16 channels
  Click(3, 3);
  QTest::keyClicks(ui_->HYEdit, QStringLiteral("30x0"));
  QCOMPARE(ui_->HYEdit->text(), QStringLiteral("255"));  // 300 is more than a byte
  for (int i = 0; i < 3; ++i) QTest::keyClick(ui_->HYEdit, Qt::Key_Backspace);
  QCOMPARE(ui_->HYEdit->text(), QStringLiteral("1"));
  QVERIFY(fixture_->messages.isEmpty());
}

void WindowEntryTest::timeTypeListStoresTheType() {
  SelectModel(*form_, 13);  // VQ-M13: brightness cells, 16 channels
  form_->document().store().frameTime[0].timeValue[4] = 2;
  Click(4, 2);
  QComboBox* list = ui_->TimeComb;
  QVERIFY(list->isVisible());
  QCOMPARE(list->count(), 4);
  QCOMPARE(list->itemText(3), QStringLiteral("min"));
  QCOMPARE(list->geometry().top(),
           form_->grid()->viewport()->mapTo(form_, form_->grid()->cellRect(4, 2).topLeft()).y());
  form_->TimeCombSelect(2);  // "s": the column lasts 2 seconds
  QCOMPARE(form_->document().store().frameTime[0].timeType[4], 2);
  QCOMPARE(form_->document().store().frameTime[0].timeValue[4], 2);
  QVERIFY(list->isHidden());

  SelectModel(*form_, 0);  // percent cells: no time types
  Click(6, 2);
  QVERIFY(list->isHidden());
}

void WindowEntryTest::timeValueListOffersNumbersByKindAndType() {
  SelectModel(*form_, 0);  // percent cells
  Click(3, 1);
  QComboBox* list = ui_->TimeComb2;
  QVERIFY(list->isVisible());
  QCOMPARE(list->count(), 3);
  const int narrow = list->width();
  form_->TimeComb2Select(2);
  QCOMPARE(form_->document().store().frameTime[0].timeValue[3], 3);

  form_->document().store().frameTime[0].timeType[3] = 1;
  Click(3, 1);
  QCOMPARE(list->count(), 3 + 1000);
  QCOMPARE(list->itemText(3), QStringLiteral("1000"));
  QCOMPARE(list->itemText(1002), QStringLiteral("1"));
  QCOMPARE(list->width(), narrow + 20);
  form_->TimeComb2Select(4);
  QCOMPARE(form_->document().store().frameTime[0].timeValue[3], 999);

  // The pointer over the form outside its controls closes the list unchosen.
  Click(3, 1);
  QVERIFY(list->isVisible());
  QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), form_->mapToGlobal(QPointF(5, 5)),
                   Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(form_, &move);
  QVERIFY(list->isHidden());
  QCOMPARE(form_->document().store().frameTime[0].timeValue[3], 999);
}

void WindowEntryTest::menuHoldsItsItemsInOrder() {
  QStringList names;
  QStringList captions;
  for (QAction* item : form_->rightMenu()->actions()) {
    names.append(item->objectName());
    captions.append(item->text());
  }
  // Undo and redo, then a separator, before the editor's own items; the
  // zoom items after another separator at the end.
  QCOMPARE(names, QStringList({"UndoItem", "RedoItem", "",           "N1",       "N2",
                               "N3",       "N5",       "N4",         "N6",       "N8",
                               "N7",       "N9",       "N10",        "Window1",  "",
                               "ZoomIn1",  "ZoomOut1", "ZoomReset1", "FitArea1", "FitSelection1"}));
  QCOMPARE(captions.mid(3, 2), QStringList({"添加一列", "删除一列"}));
  QCOMPARE(captions[7], QStringLiteral("填充选中"));
  QStringList templates;
  for (QAction* item : form_->rightMenu()->actions().at(13)->menu()->actions())
    templates.append(item->objectName());
  QCOMPARE(templates, QStringList({"NewWindow1", "ile1"}));
}

void WindowEntryTest::rightClickAndDragOpenTheMenu() {
  SelectModel(*form_, 13);  // VQ-M13: brightness cells, 16 channels
  QMenu* menu = form_->rightMenu();
  auto item = [menu](const char* name) {
    return menu->findChild<QAction*>(QString::fromLatin1(name))->isEnabled();
  };
  Click(4, 5, Qt::RightButton);
  QVERIFY(menu->isVisible());
  QVERIFY(item("N1") && item("N2") && !item("N4"));
  QCOMPARE(form_->grid()->currentCell(), (GridCell{4, 5}));
  QCOMPARE(CellOf(4, 5), 0);
  menu->hide();

  // Channel 2, frame 3 to channel 4, frame 1.
  QTest::mousePress(Cells(), Qt::LeftButton, {}, CellCentre(4, 4));
  MoveTo(3, 5, Qt::LeftButton);
  QTest::mouseRelease(Cells(), Qt::LeftButton, {}, CellCentre(2, 6));
  QVERIFY(menu->isVisible());
  QVERIFY(!item("N1") && !item("N2") && item("N4"));
  QCOMPARE(SelectionRect(form_->entry().pointer), (GridCellRect{2, 4, 4, 6}));
  QVERIFY(ui_->HYEdit->isHidden());
  menu->hide();
}

void WindowEntryTest::hoverLabelNamesChannelAndFrame() {
  SelectModel(*form_, 13);  // VQ-M13: brightness cells, 16 channels
  MoveTo(13, 7);
  QVERIFY(ui_->cxLabel3->isVisible());
  QCOMPARE(ui_->cxLabel3->text(), QStringLiteral("   第 5 路   第12步"));
  form_->BitBtn13Click();
  MoveTo(13, 6);
  QCOMPARE(ui_->cxLabel3->text(), QStringLiteral("   No. 4 Num   No. 12step"));
  form_->BitBtn11Click();  // Traditional Chinese keeps the last stored language
  MoveTo(13, 6);
  QCOMPARE(ui_->cxLabel3->text(), QStringLiteral("   No. 4 Num   No. 12step"));
  MoveTo(0, 0);  // the fixed cells count from the frame-number row
  QCOMPARE(ui_->cxLabel3->text(), QStringLiteral("   No. -2 Num   No. -1step"));
}

// The hover label and an open time list go when the pointer moves on to the
// top band, the preview strip or the bare form.
void WindowEntryTest::pointerOffTheGridHidesTheFloatingControls() {
  SelectModel(*form_, 13);  // VQ-M13: both time rows open a list
  QWidget* const places[] = {ui_->GroupBox4, ui_->Panel1, form_};
  for (QWidget* place : places) {
    MoveTo(4, 5);
    Click(4, 1);
    QVERIFY(ui_->cxLabel3->isVisible() && ui_->TimeComb2->isVisible());
    MoveOver(place, {2, 2});
    QVERIFY2(ui_->cxLabel3->isHidden() && ui_->TimeComb2->isHidden(),
             qPrintable(place->objectName()));
    Click(4, 2);
    QVERIFY(ui_->TimeComb->isVisible());
    MoveOver(place, {3, 3});
    QVERIFY(ui_->TimeComb->isHidden());
  }
  QCOMPARE(form_->document().store().frameTime[0].timeValue[4], 1);  // hidden without storing
  QCOMPARE(form_->document().store().frameTime[0].timeType[4], 0);
}

// A drag over channels 1..2, frames 1..2 copies them; a right click on
// channel 5, frame 4 pastes them there; "填充选中" fills with the box's number.
void WindowEntryTest::menuCommandsActOnTheDraggedRectangle() {
  SelectModel(*form_, 13);
  form_->document().store().Cell(0, 3, 2) = 11;
  form_->document().store().Cell(0, 4, 3) = 22;
  QMenu* menu = form_->rightMenu();
  auto trigger = [menu](const char* name) {
    menu->findChild<QAction*>(QString::fromLatin1(name))->trigger();
  };
  QTest::mousePress(Cells(), Qt::LeftButton, {}, CellCentre(2, 3));
  MoveTo(3, 4, Qt::LeftButton);
  QTest::mouseRelease(Cells(), Qt::LeftButton, {}, CellCentre(3, 4));
  trigger("N3");
  menu->hide();
  Click(5, 7, Qt::RightButton);
  trigger("N5");
  menu->hide();
  QCOMPARE(CellOf(5, 7), 11);
  QCOMPARE(CellOf(6, 8), 22);
  QCOMPARE(CellOf(6, 7), 0);

  ui_->HYEdit->setText(QStringLiteral("9"));
  QTest::mousePress(Cells(), Qt::LeftButton, {}, CellCentre(2, 3));
  QTest::mouseRelease(Cells(), Qt::LeftButton, {}, CellCentre(3, 4));
  trigger("N4");
  menu->hide();
  QCOMPARE(CellOf(2, 3), 9);
  QCOMPARE(CellOf(3, 3), 9);
  QCOMPARE(CellOf(3, 4), 9);
}

void WindowEntryTest::runDialogOpensAtTheClickedCellAndWritesTheRun() {
  SelectModel(*form_, 13);
  Click(4, 5, Qt::RightButton);  // frame 3, channel 3
  form_->rightMenu()->hide();
  form_->rightMenu()->findChild<QAction*>(QStringLiteral("ile1"))->trigger();
  QVERIFY(ui_->GroupBox9->isVisible());
  QCOMPARE(ui_->GroupBox9->pos(), QPoint(344, 216));
  QCOMPARE(ui_->Label111->text(), QStringLiteral("流水"));
  QCOMPARE(ui_->Edit2->text(), QStringLiteral("3"));
  QCOMPARE(ui_->Edit3->text(), QStringLiteral("370"));
  QCOMPARE(ui_->Edit4->text(), QStringLiteral("3"));
  QCOMPARE(ui_->Edit5->text(), QStringLiteral("16"));
  ui_->Edit3->setText(QStringLiteral("5"));
  ui_->Edit11->setText(QStringLiteral("60"));  // the dialog's value box feeds HYEdit
  QCOMPARE(ui_->HYEdit->text(), QStringLiteral("60"));
  ui_->Button8->click();
  QVERIFY(ui_->GroupBox9->isHidden());
  QCOMPARE(CellOf(4, 5), 60);
  QCOMPARE(CellOf(5, 6), 60);
  QCOMPARE(CellOf(6, 7), 60);
  QCOMPARE(CellOf(5, 5), 0);

  form_->OpenStackedRunDialog();
  ui_->Edit7->clear();
  ui_->Button7->click();  // an empty field writes nothing and is reported
  QCOMPARE(fixture_->messages.size(), 1);
  QVERIFY(ui_->GroupBox8->isVisible());
}

// Every release on a channel row gives N1 and N2 back and takes N4 away, also
// where no menu opens: after a drag, a left click that opens the value box
// leaves the menu opened from the box with the single-cell commands.
void WindowEntryTest::menuStatesFollowEveryReleaseOnAChannelRow() {
  SelectModel(*form_, 13);  // VQ-M13: brightness cells, 16 channels
  QMenu* menu = form_->rightMenu();
  QTest::mousePress(Cells(), Qt::LeftButton, {}, CellCentre(4, 4));
  MoveTo(5, 6, Qt::LeftButton);
  QTest::mouseRelease(Cells(), Qt::LeftButton, {}, CellCentre(5, 6));
  QVERIFY(menu->isVisible());
  QVERIFY(!ItemEnabled("N1") && !ItemEnabled("N2") && ItemEnabled("N4"));
  menu->hide();

  form_->document().store().Cell(0, 3, 7) = 33;  // channel 1, frame 6
  Click(7, 8);
  QVERIFY(ui_->HYEdit->isVisible());
  QVERIFY(menu->isHidden());
  QVERIFY(ItemEnabled("N1") && ItemEnabled("N2") && !ItemEnabled("N4"));
  // A right click in the box, through the window as the desktop delivers it.
  const QPoint inBox = ui_->HYEdit->mapTo(form_, ui_->HYEdit->rect().center());
  QTest::mouseClick(form_->windowHandle(), Qt::RightButton, {}, inBox);
  QVERIFY(menu->isVisible());
  QVERIFY(ItemEnabled("N1") && ItemEnabled("N2") && !ItemEnabled("N4"));
  menu->findChild<QAction*>(QStringLiteral("N1"))->trigger();  // inserts at frame 6
  menu->hide();
  QCOMPARE(CellOf(7, 3), 0);
  QCOMPARE(CellOf(8, 3), 33);
}

// A drag whose pointer runs past the right edge scrolls the grid; the cells
// the menu's commands act on are the highlighted ones, from the press cell
// on: "删除选中" clears exactly them.
void WindowEntryTest::dragThatScrollsActsOnTheHighlightedRectangle() {
  SelectModel(*form_, 13);  // VQ-M13: 16 channels, 370 frames
  for (int row = 3; row < 12; ++row)
    for (int column = 2; column < 120; ++column) form_->document().store().Cell(0, row, column) = 7;
  QScrollBar* horizontal = form_->grid()->horizontalScrollBar();
  QTest::mousePress(Cells(), Qt::LeftButton, {}, CellCentre(4, 5));
  const QPoint pastEdge(Cells()->width() + 8, CellCentre(4, 7).y());
  for (int i = 0; i < 3; ++i) MovePointer(pastEdge + QPoint(i, 0), Qt::LeftButton);
  QCOMPARE(horizontal->value(), 3 * horizontal->singleStep());
  QTest::mouseRelease(Cells(), Qt::LeftButton, {}, pastEdge);
  QVERIFY(form_->rightMenu()->isVisible());
  const GridCellRect highlighted = form_->grid()->selection();
  QCOMPARE(highlighted.left, 4);
  QCOMPARE(highlighted.top, 5);
  QCOMPARE(highlighted.bottom, 7);
  QVERIFY(highlighted.right > form_->grid()->cellAt(QPoint(Cells()->width() - 1, 0)).column);
  QCOMPARE(SelectionRect(form_->entry().pointer), highlighted);

  form_->rightMenu()->findChild<QAction*>(QStringLiteral("N6"))->trigger();
  form_->rightMenu()->hide();
  for (int row = highlighted.top - 1; row <= highlighted.bottom + 1; ++row) {
    for (int column = highlighted.left - 1; column <= highlighted.right + 1; ++column) {
      const bool inside = column >= highlighted.left && column <= highlighted.right &&
                          row >= highlighted.top && row <= highlighted.bottom;
      QVERIFY2(CellOf(column, row) == (inside ? 0 : 7),
               qPrintable(QStringLiteral("frame %1 channel %2").arg(column - 1).arg(row - 2)));
    }
  }
}

// A time list or the value box left open while the grid scrolls stays over
// its own cell and stores there; once its cell has scrolled out of view it
// closes, the box keeping what a lighting click typed.
void WindowEntryTest::floatingControlsFollowTheirCellWhileTheGridScrolls() {
  SelectModel(*form_, 13);  // VQ-M13: 16 channels, 370 frames
  QScrollBar* horizontal = form_->grid()->horizontalScrollBar();
  Click(8, 1);  // the time value list of frame 7
  QComboBox* list = ui_->TimeComb2;
  list->hidePopup();
  WheelSideways(1);
  QCOMPARE(horizontal->value(), 3 * horizontal->singleStep());
  QVERIFY(list->isVisible());
  QCOMPARE(CellUnder(list), (GridCell{8, 1}));
  QTest::keyClick(list, Qt::Key_End);  // picks "5"
  QVERIFY(list->isHidden());
  QCOMPARE(form_->document().store().frameTime[0].timeValue[8], 5);
  QCOMPARE(form_->document().store().frameTime[0].timeValue[11],
           1);  // the frame the list first lay over

  Click(9, 6);
  QTest::keyClicks(ui_->HYEdit, QStringLiteral("40"));
  WheelSideways(1);
  QVERIFY(ui_->HYEdit->isVisible());
  QCOMPARE(CellUnder(ui_->HYEdit), (GridCell{9, 6}));
  QCOMPARE(ui_->HYEdit->size(), form_->grid()->cellRect(9, 6).size() + QSize(1, 1));
  QTest::keyClick(ui_->HYEdit, Qt::Key_Return);
  QCOMPARE(CellOf(9, 6), 40);
  QCOMPARE(CellOf(12, 6), 0);

  Click(9, 7);  // lights with 40; frame 8 then scrolls under the fixed columns
  QTest::keyClicks(ui_->HYEdit, QStringLiteral("60"));
  WheelSideways(1);
  QVERIFY(ui_->HYEdit->isHidden());
  QCOMPARE(CellOf(9, 7), 60);

  WheelSideways(-1);
  Click(9, 2);  // the time type list of frame 8, closed unchosen as it scrolls away
  ui_->TimeComb->hidePopup();
  WheelSideways(1);
  QVERIFY(ui_->TimeComb->isHidden());
  QCOMPARE(form_->document().store().frameTime[0].timeType[9], 0);
  QVERIFY(fixture_->messages.isEmpty());
}

QTEST_MAIN(WindowEntryTest)
#include "window_entry_test.moc"
