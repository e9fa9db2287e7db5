// Undo and redo in the window through real pointer and key events: a cell
// click and "填充选中" from the popup menu undone with Ctrl+Z and redone with
// Ctrl+Y and Ctrl+Shift+Z, the menu items naming the step in each language,
// and an undo in another area bringing that area's tab and settings back.
#include <QAction>
#include <QMenu>

#include "window_fixture.h"

using namespace vqled;

class WindowUndoTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void fillSelectedUndoneAndRedoneByKeysAndNamedInTheMenu();
  void undoInAnotherAreaShowsThatArea();

 private:
  QWidget* Cells() const { return form_->grid()->viewport(); }
  QPoint CellCentre(int column, int row) const {
    return form_->grid()->cellRect(column, row).center();
  }
  QAction* Item(const char* name) const {
    return form_->rightMenu()->findChild<QAction*>(QString::fromLatin1(name));
  }
  // Opens the menu as a right click on a cell does, so it shows its items.
  void OpenMenuAt(int column, int row) {
    QTest::mouseClick(Cells(), Qt::RightButton, {}, CellCentre(column, row));
    QVERIFY(form_->rightMenu()->isVisible());
  }
  void CloseMenu() { form_->rightMenu()->hide(); }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    form_->grid()->setFocus();
    QTest::keyClick(form_->grid(), key, modifiers);
  }
  int32_t CellOf(int area, int column, int row) const {
    return form_->document().store().Cell(area, row, column);
  }

  std::unique_ptr<WindowFixture> fixture_;
  TForm2* form_ = nullptr;
  Ui::TForm2* ui_ = nullptr;
};

void WindowUndoTest::init() {
  fixture_ = std::make_unique<WindowFixture>();
  form_ = &fixture_->Start();
  ui_ = form_->form();
  QVERIFY(QTest::qWaitForWindowExposed(form_));
  SelectModel(*form_, 13);  // VQ-M13: brightness cells, 16 channels, area tabs
}

void WindowUndoTest::cleanup() {
  fixture_.reset();
}

void WindowUndoTest::fillSelectedUndoneAndRedoneByKeysAndNamedInTheMenu() {
  OpenMenuAt(4, 5);
  QVERIFY(!Item("UndoItem")->isEnabled());
  QCOMPARE(Item("UndoItem")->text(), QStringLiteral("撤销"));
  QVERIFY(!Item("RedoItem")->isEnabled());
  CloseMenu();

  // A click lights a cell with the value box's number; the box stays open.
  ui_->HYEdit->setText(QStringLiteral("40"));
  QTest::mouseClick(Cells(), Qt::LeftButton, {}, CellCentre(3, 4));
  QCOMPARE(CellOf(0, 3, 4), 40);
  QTest::keyClick(ui_->HYEdit, Qt::Key_Escape);
  ui_->HYEdit->hide();

  // A drag over frames 1..3 of channels 2..3 and "填充选中" from the menu.
  ui_->HYEdit->setText(QStringLiteral("90"));
  QTest::mousePress(Cells(), Qt::LeftButton, {}, CellCentre(2, 4));
  QTest::mouseRelease(Cells(), Qt::LeftButton, {}, CellCentre(4, 5));
  QVERIFY(form_->rightMenu()->isVisible());
  QCOMPARE(Item("UndoItem")->text(), QStringLiteral("撤销 单击单元格"));
  Item("N4")->trigger();
  CloseMenu();
  QCOMPARE(CellOf(0, 3, 4), 90);
  QCOMPARE(CellOf(0, 4, 5), 90);

  OpenMenuAt(6, 6);
  QCOMPARE(Item("UndoItem")->text(), QStringLiteral("撤销 填充选中"));
  CloseMenu();
  form_->BitBtn13Click();  // English
  OpenMenuAt(6, 6);
  QCOMPARE(Item("UndoItem")->text(), QStringLiteral("Undo Fill selected"));
  CloseMenu();

  Key(Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(CellOf(0, 3, 4), 40);
  QCOMPARE(CellOf(0, 4, 5), 0);
  OpenMenuAt(6, 6);
  QCOMPARE(Item("UndoItem")->text(), QStringLiteral("Undo Cell click"));
  QCOMPARE(Item("RedoItem")->text(), QStringLiteral("Redo Fill selected"));
  QVERIFY(Item("RedoItem")->isEnabled());
  CloseMenu();
  Key(Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(CellOf(0, 3, 4), 0);
  Key(Qt::Key_Z, Qt::ControlModifier);  // nothing more to undo
  QCOMPARE(CellOf(0, 3, 4), 0);

  Key(Qt::Key_Y, Qt::ControlModifier);
  QCOMPARE(CellOf(0, 3, 4), 40);
  Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  QCOMPARE(CellOf(0, 4, 5), 90);
  form_->BitBtn11Click();  // Traditional Chinese
  OpenMenuAt(6, 6);
  QCOMPARE(Item("UndoItem")->text(), QStringLiteral("復原 填充選中"));
  QCOMPARE(Item("RedoItem")->text(), QStringLiteral("重做"));
  QVERIFY(!Item("RedoItem")->isEnabled());
  CloseMenu();

  // The undone steps can be redone from the menu too.
  Key(Qt::Key_Z, Qt::ControlModifier);
  OpenMenuAt(6, 6);
  Item("RedoItem")->trigger();
  CloseMenu();
  QCOMPARE(CellOf(0, 4, 5), 90);
  QVERIFY(fixture_->messages.isEmpty());
}

void WindowUndoTest::undoInAnotherAreaShowsThatArea() {
  QTest::mouseClick(ui_->TabControl1, Qt::LeftButton, {}, ui_->TabControl1->tabRect(2).center());
  QCOMPARE(form_->document().store().currentArea, 2);
  QTest::mouseClick(ui_->RadioButton2, Qt::LeftButton);  // counted loop
  ui_->Edit6->setFocus();
  ui_->Edit6->selectAll();
  QTest::keyClicks(ui_->Edit6, QStringLiteral("37"));
  QCOMPARE(form_->document().store().playSettings[2].loopCount, 37);

  QTest::mouseClick(ui_->TabControl1, Qt::LeftButton, {}, ui_->TabControl1->tabRect(0).center());
  QCOMPARE(form_->document().store().currentArea, 0);
  Key(Qt::Key_Z, Qt::ControlModifier);  // the typed count, one step for both digits
  QCOMPARE(form_->document().store().currentArea, 2);
  QCOMPARE(ui_->TabControl1->currentIndex(), 2);
  QCOMPARE(form_->document().store().playSettings[2].loopCount, 0);
  QCOMPARE(ui_->Edit6->text(), QStringLiteral("0"));
  QVERIFY(ui_->RadioButton2->isChecked());
  Key(Qt::Key_Z, Qt::ControlModifier);  // the loop button
  QVERIFY(ui_->RadioButton3->isChecked());
  QCOMPARE(form_->document().store().playSettings[2].loopMode, int{LOOP_FOREVER});
  Key(Qt::Key_Y, Qt::ControlModifier);
  Key(Qt::Key_Y, Qt::ControlModifier);
  QVERIFY(ui_->RadioButton2->isChecked());
  QCOMPARE(ui_->Edit6->text(), QStringLiteral("37"));
}

QTEST_MAIN(WindowUndoTest)
#include "window_undo_test.moc"
