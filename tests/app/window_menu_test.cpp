// The popup menu RightMenu through real pointer events on the grid: the ramps
// with the step and direction lists, the column and channel commands, and
// the two running-light dialogs with their keys, value boxes and errors.
#include <QAction>
#include <QMenu>
#include <vector>

#include "window_fixture.h"

using namespace vqled;

class WindowMenuTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void rampsFollowTheStepAndDirectionLists();
  void generatorItemsFollowTheModel();
  void columnAndChannelCommands();
  void stackedRunDialogWithItsKeys();
  void runDialogErrorsAndCancelWriteNothing();
  void runGoesDownTheGridOnALaterController();

 private:
  QWidget* Cells() const { return form_->grid()->viewport(); }
  QPoint CellCentre(int column, int row) const {
    return form_->grid()->cellRect(column, row).center();
  }
  // A right click on a cell: it becomes editCell, and the menu opens.
  void RightClick(int column, int row) {
    QTest::mouseClick(Cells(), Qt::RightButton, {}, CellCentre(column, row));
    QVERIFY(form_->rightMenu()->isVisible());
  }
  // Triggers a menu item as a click on it does, and closes the menu.
  void Trigger(const char* item) {
    QAction* action = form_->rightMenu()->findChild<QAction*>(QString::fromLatin1(item));
    QVERIFY(action->isEnabled());
    action->trigger();
    form_->rightMenu()->hide();
  }
  // Replaces a line edit's text by typing, key by key.
  static void Retype(QLineEdit* edit, const char* text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QString::fromUtf8(text));
  }
  int32_t& CellOf(int column, int row) const {
    return form_->document().store().Cell(0, row, column);
  }
  std::vector<int32_t> Frame(int column, int firstRow, int count) const {
    std::vector<int32_t> values;
    for (int m = 0; m < count; ++m) values.push_back(CellOf(column, firstRow + m));
    return values;
  }
  std::vector<int32_t> Channel(int row, int firstColumn, int count) const {
    std::vector<int32_t> values;
    for (int k = 0; k < count; ++k) values.push_back(CellOf(firstColumn + k, row));
    return values;
  }

  std::unique_ptr<WindowFixture> fixture_;
  TForm2* form_ = nullptr;
  Ui::TForm2* ui_ = nullptr;
};

using Values = std::vector<int32_t>;

void WindowMenuTest::init() {
  fixture_ = std::make_unique<WindowFixture>();
  form_ = &fixture_->Start();
  ui_ = form_->form();
  QVERIFY(QTest::qWaitForWindowExposed(form_));
  SelectModel(*form_, 13);  // VQ-M13: brightness cells, 16 channels, 370 frames, generators
}

void WindowMenuTest::cleanup() {
  fixture_.reset();
}

void WindowMenuTest::rampsFollowTheStepAndDirectionLists() {
  QLineEdit* direction = ui_->ComboBox3->lineEdit();
  direction->setFocus();
  QTest::keyClicks(direction, QStringLiteral("x"));
  QCOMPARE(ui_->ComboBox3->currentText(), QStringLiteral("+"));
  ui_->ComboBox1->setFocus();
  ui_->ComboBox1->lineEdit()->selectAll();
  QTest::keyClicks(ui_->ComboBox1, QStringLiteral("a32"));  // only digits reach the step
  QCOMPARE(ui_->ComboBox1->currentText(), QStringLiteral("32"));

  RightClick(2, 3);  // frame 1, channel 1
  Trigger("N7");
  QCOMPARE(Frame(2, 3, 10), (Values{32, 64, 96, 128, 160, 192, 224, 255, 0, 0}));

  direction->selectAll();
  QTest::keyClicks(direction, QStringLiteral("-"));
  QCOMPARE(ui_->ComboBox3->currentText(), QStringLiteral("-"));
  ui_->ComboBox1->setCurrentText(QStringLiteral("64"));
  RightClick(3, 5);  // frame 2, channel 3
  Trigger("N8");
  QCOMPARE(Channel(5, 3, 5), (Values{191, 127, 63, 0, 0}));
  QVERIFY(fixture_->messages.isEmpty());

  // An empty step is a conversion error and writes nothing.
  ui_->ComboBox1->setCurrentText(QString());
  RightClick(10, 8);
  Trigger("N8");
  Trigger("N7");
  QCOMPARE(fixture_->messages.size(), 2);
  QCOMPARE(CellOf(10, 8), 0);
}

void WindowMenuTest::generatorItemsFollowTheModel() {
  auto enabled = [this](const char* item) {
    return form_->rightMenu()->findChild<QAction*>(QString::fromLatin1(item))->isEnabled();
  };
  QVERIFY(enabled("N7") && enabled("N8"));
  SelectModel(*form_, 4);  // VQ-M04: no generators
  QVERIFY(!enabled("N7") && !enabled("N8"));
  for (const char* item : {"N3", "N5", "N6", "N9", "N10", "Window1", "NewWindow1", "ile1"})
    QVERIFY2(enabled(item), item);
}

void WindowMenuTest::columnAndChannelCommands() {
  for (int column = 2; column < 12; ++column) CellOf(column, 3) = column;
  form_->document().store().frameTime[0].timeValue[6] = 7;
  RightClick(5, 3);  // frame 4, channel 1
  Trigger("N1");
  QCOMPARE(Channel(3, 4, 4), (Values{4, 0, 5, 6}));
  QCOMPARE(form_->document().store().frameTime[0].timeValue[6], 7);  // frame times stay
  Trigger("N2");                                                     // at the same editCell
  QCOMPARE(Channel(3, 4, 4), (Values{4, 5, 6, 7}));

  RightClick(2, 3);
  Trigger("N9");
  RightClick(2, 6);  // channel 4 from frame 1
  Trigger("N10");
  QCOMPARE(Channel(6, 2, 10), Channel(3, 2, 10));

  // "删除选中" over a dragged rectangle, then "粘贴" puts it back elsewhere.
  QTest::mousePress(Cells(), Qt::LeftButton, {}, CellCentre(3, 3));
  QTest::mouseRelease(Cells(), Qt::LeftButton, {}, CellCentre(4, 6));
  Trigger("N6");
  QCOMPARE(Frame(3, 3, 4), (Values{0, 0, 0, 0}));
  RightClick(20, 10);
  Trigger("N5");
  QCOMPARE(Frame(20, 10, 4), (Values{3, 0, 0, 3}));
  QCOMPARE(Frame(21, 10, 4), (Values{4, 0, 0, 4}));
}

void WindowMenuTest::stackedRunDialogWithItsKeys() {
  RightClick(3, 4);  // frame 2, channel 2
  Trigger("Window1");
  QVERIFY(ui_->GroupBox8->isHidden());
  Trigger("NewWindow1");
  QVERIFY(ui_->GroupBox8->isVisible());
  QCOMPARE(ui_->GroupBox8->pos(), QPoint(344, 216));
  QCOMPARE(ui_->Label112->text(), QStringLiteral("流水叠加"));
  const QLineEdit* const fields[] = {ui_->Edit7, ui_->Edit8, ui_->Edit9, ui_->Edit10};
  const char* const opened[] = {"2", "16", "2", "16"};
  for (int i = 0; i < 4; ++i) QCOMPARE(fields[i]->text(), QString::fromLatin1(opened[i]));
  QVERIFY(ui_->RadioButton8->isChecked());
  QVERIFY(!ui_->RadioButton7->isEnabled());

  Retype(ui_->Edit1, "300");
  QCOMPARE(ui_->Edit1->text(), QStringLiteral("255"));
  QCOMPARE(ui_->HYEdit->text(), QStringLiteral("255"));
  Retype(ui_->Edit1, "200");
  ui_->HYEdit->setText(QStringLiteral("40"));
  QTest::keyClick(ui_->Edit1, Qt::Key_End);  // a key release feeds the box's number again
  QCOMPARE(ui_->HYEdit->text(), QStringLiteral("200"));

  Retype(ui_->Edit8, "5");
  Retype(ui_->Edit10, "4");
  QTest::keyClick(ui_->Edit10, Qt::Key_Return);  // OK is the default button
  QVERIFY(ui_->GroupBox8->isHidden());
  QCOMPARE(Frame(3, 4, 4), (Values{200, 0, 0, 0}));
  QCOMPARE(Frame(4, 4, 4), (Values{200, 200, 0, 0}));
  QCOMPARE(Frame(5, 4, 4), (Values{200, 200, 200, 0}));
  QCOMPARE(Frame(6, 4, 4), (Values{200, 200, 200, 0}));
  QCOMPARE(Frame(7, 4, 4), (Values{0, 0, 0, 0}));
  QVERIFY(fixture_->messages.isEmpty());
}

void WindowMenuTest::runDialogErrorsAndCancelWriteNothing() {
  RightClick(2, 3);
  Trigger("ile1");
  QVERIFY(ui_->GroupBox9->isVisible());
  QVERIFY(ui_->RadioButton9->isChecked());
  QVERIFY(!ui_->RadioButton10->isEnabled());

  // Emptying the value box is reported once; HYEdit keeps its number.
  Retype(ui_->Edit11, "90");
  ui_->Edit11->selectAll();
  QTest::keyClick(ui_->Edit11, Qt::Key_Backspace);
  QCOMPARE(fixture_->messages.size(), 1);
  QCOMPARE(ui_->HYEdit->text(), QStringLiteral("90"));

  ui_->Edit3->clear();
  QTest::keyClick(ui_->Edit4, Qt::Key_Return);
  QCOMPARE(fixture_->messages.size(), 2);
  QVERIFY(ui_->GroupBox9->isVisible());
  QCOMPARE(CellOf(2, 3), 0);

  Retype(ui_->Edit3, "4");
  ui_->Button9->setFocus();
  QTest::keyClick(ui_->Button9, Qt::Key_Return);  // Enter on Cancel cancels
  QVERIFY(ui_->GroupBox9->isHidden());
  QCOMPARE(CellOf(2, 3), 0);
  QCOMPARE(CellOf(3, 4), 0);
  QCOMPARE(fixture_->messages.size(), 2);
}

// "流水" on the third controller of VQ-M07 (3 x 9 channels): one channel per
// frame past the last channel field (9, one controller's channels) down to
// the grid's last channel row, and nothing below it.
void WindowMenuTest::runGoesDownTheGridOnALaterController() {
  SelectModel(*form_, 7);
  ui_->ComboBox4->setCurrentIndex(2);  // 3 controllers
  form_->ComboBox4Change();
  QCOMPARE(form_->document().store().gridRowCount, 3 * 9 + 3);
  form_->grid()->scrollToCell(3, 24);
  RightClick(3, 24);  // frame 2, channel 22
  Trigger("ile1");
  QCOMPARE(ui_->Edit4->text(), QStringLiteral("22"));
  QCOMPARE(ui_->Edit5->text(), QStringLiteral("9"));
  Retype(ui_->Edit3, "12");
  Retype(ui_->Edit11, "70");
  QTest::keyClick(ui_->Edit3, Qt::Key_Return);
  QVERIFY(ui_->GroupBox9->isHidden());
  QVERIFY(fixture_->messages.isEmpty());
  // Channels 21..28 (rows 23..30) over frames 1..13: frames 2..7 light
  // channels 22..27, the last of the grid; frames 8..12 find no row left.
  const Values zero(8, 0);
  auto lit = [](int channel) {
    Values v(8, 0);
    v[channel - 21] = 70;
    return v;
  };
  const Values expected[] = {zero, lit(22), lit(23), lit(24), lit(25), lit(26), lit(27),
                             zero, zero,    zero,    zero,    zero,    zero};
  for (int frame = 1; frame <= 13; ++frame) QCOMPARE(Frame(frame + 1, 23, 8), expected[frame - 1]);
  QCOMPARE(form_->document().store().Cell(0, 30, 8), 0);  // the row below the grid's last channel
}

QTEST_MAIN(WindowMenuTest)
#include "window_menu_test.moc"
