// The keyboard over the grid: every key goes to the widget that has the
// focus, as the keyboard delivers it; no mouse event is sent.
#include <QAction>
#include <QApplication>
#include <QKeySequence>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextEdit>

#include "file_dialog.h"
#include "grid_keys.h"
#include "window_fixture.h"

namespace vqled {

class WindowKeysTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void arrowsMoveTheCursorAndShiftSelectsForTheCommands();
  void ctrlArrowsHomeEndAndPagesMoveOverTheArea();
  void typedDigitsReplaceTheBoxAndEnterMovesDown();
  void escapeClosesTheBoxStoringNothing();
  void spaceTogglesOnOffCellsAndBrightnessCells();
  void shortcutsRunTheMenuItemsAndShowInTheMenu();
  void timeRowsChooseTheFrameTimeByKeys();
  void keyboardSessionSavesARunningLight();

 private:
  // Starts the window on VQ-M13 (16 brightness channels, 370 frames) from
  // its Config.ini and tabs to the grid.
  void StartOnVQM13();
  void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* focused = QApplication::focusWidget();
    QVERIFY(focused != nullptr);
    QTest::keyClick(focused, static_cast<Qt::Key>(key), modifiers);
  }
  void Keys(int key, int times, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    for (int i = 0; i < times; ++i) Key(key, modifiers);
  }
  void Type(const char* digits) {
    for (const char* c = digits; *c != '\0'; ++c) Key(Qt::Key_0 + (*c - '0'));
  }
  // Enter on a time row opens its list on its first item; Down steps
  // through the items, Return chooses.
  void PickFromList(int downs) {
    Key(Qt::Key_Return);
    Keys(Qt::Key_Down, downs);
    Key(Qt::Key_Return);
  }
  GridCell Cursor() const { return fixture_->form().grid()->cursorCell(); }
  int CellOf(int column, int row) {
    PatternStore& store = fixture_->form().document().store();
    return store.Cell(store.currentArea, row, column);
  }
  void SetCell(int column, int row, int value) {
    PatternStore& store = fixture_->form().document().store();
    store.Cell(store.currentArea, row, column) = value;
  }
  const EditorPointer& Pointer() { return fixture_->form().entry().pointer; }
  bool ItemEnabled(const char* name) {
    return fixture_->form()
        .rightMenu()
        ->findChild<QAction*>(QString::fromLatin1(name))
        ->isEnabled();
  }

  std::unique_ptr<WindowFixture> fixture_;
};

void WindowKeysTest::init() {
  fixture_ = std::make_unique<WindowFixture>();
}

void WindowKeysTest::cleanup() {
  fixture_.reset();
  SetFileDialogHook({});
}

void WindowKeysTest::StartOnVQM13() {
  fixture_->WriteFile("Config.ini", "[Config]\r\nHYTYPE=13\r\n");
  TForm2& form = fixture_->Start();
  form.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&form));
  QCOMPARE(form.form()->ComboBox6->currentIndex(), 13);
  for (int i = 0; i < 300 && QApplication::focusWidget() != form.grid(); ++i) {
    QWidget* focused = QApplication::focusWidget();
    const bool takesTab = qobject_cast<QTextEdit*>(focused) != nullptr ||
                          qobject_cast<QPlainTextEdit*>(focused) != nullptr;
    Key(Qt::Key_Tab, takesTab ? Qt::ControlModifier : Qt::NoModifier);
  }
  QCOMPARE(QApplication::focusWidget(), form.grid());
  QCOMPARE(Cursor(), (GridCell{2, 3}));  // frame 1, channel 1
}

void WindowKeysTest::arrowsMoveTheCursorAndShiftSelectsForTheCommands() {
  StartOnVQM13();
  Keys(Qt::Key_Right, 3);
  Keys(Qt::Key_Down, 2);
  QCOMPARE(Cursor(), (GridCell{5, 5}));
  // As a click on the cell: a one-cell range, insert and delete enabled.
  QCOMPARE(Pointer().editCell, (GridCell{5, 5}));
  QCOMPARE(SelectionRect(Pointer()), (GridCellRect{5, 5, 5, 5}));
  QVERIFY(ItemEnabled("N1") && ItemEnabled("N2") && !ItemEnabled("N4"));
  // The cursor cell is framed in the text colour; its neighbour is not.
  StringGrid* grid = fixture_->form().grid();
  const QImage shot = grid->viewport()->grab().toImage();
  const QColor frame = grid->palette().color(QPalette::WindowText);
  for (int column : {5, 4}) {
    const QRect cell = grid->cellRect(column, 5);
    QCOMPARE(shot.pixelColor(cell.left() + 1, cell.center().y()) == frame, column == 5);
  }

  Keys(Qt::Key_Right, 2, Qt::ShiftModifier);
  Key(Qt::Key_Down, Qt::ShiftModifier);
  // As a drag from frame 4 channel 3 to frame 6 channel 4.
  QCOMPARE(fixture_->form().grid()->selection(), (GridCellRect{5, 5, 7, 6}));
  QCOMPARE(SelectionRect(Pointer()), (GridCellRect{5, 5, 7, 6}));
  QVERIFY(!ItemEnabled("N1") && !ItemEnabled("N2") && ItemEnabled("N4"));
  QCOMPARE(Cursor(), (GridCell{7, 6}));

  // The value box on the cursor cell; Enter moves down to frame 6,
  // channel 5, from where Shift selects frames 5..6 of channels 4..5.
  Type("9");
  Key(Qt::Key_Return);
  QCOMPARE(Cursor(), (GridCell{7, 7}));
  Key(Qt::Key_Left, Qt::ShiftModifier);
  Key(Qt::Key_Up, Qt::ShiftModifier);
  QCOMPARE(SelectionRect(Pointer()), (GridCellRect{6, 6, 7, 7}));
  Key(Qt::Key_D, Qt::ControlModifier);  // fills with the box's number
  for (int column = 4; column <= 8; ++column) {
    for (int row = 4; row <= 8; ++row) {
      const bool filled = column >= 6 && column <= 7 && row >= 6 && row <= 7;
      QCOMPARE(CellOf(column, row), filled ? 9 : 0);
    }
  }
  // Escape drops the range to the cursor cell.
  Key(Qt::Key_Escape);
  QCOMPARE(fixture_->form().grid()->selection(), (GridCellRect{6, 6, 6, 6}));
  QVERIFY(fixture_->messages.isEmpty());
}

void WindowKeysTest::ctrlArrowsHomeEndAndPagesMoveOverTheArea() {
  StartOnVQM13();
  SetCell(12, 9, 50);  // frame 11, channel 7: the used range's far corner
  SetCell(4, 6, 50);
  Key(Qt::Key_Right, Qt::ControlModifier);
  QCOMPARE(Cursor(), (GridCell{12, 3}));
  Key(Qt::Key_Right, Qt::ControlModifier);
  QCOMPARE(Cursor(), (GridCell{371, 3}));  // VQ-M13's last frame
  QVERIFY(fixture_->form().grid()->isCellInView(371, 3));
  Key(Qt::Key_Home);
  QCOMPARE(Cursor(), (GridCell{2, 3}));
  QVERIFY(fixture_->form().grid()->isCellInView(2, 3));
  Key(Qt::Key_Down, Qt::ControlModifier);
  QCOMPARE(Cursor(), (GridCell{2, 9}));
  Key(Qt::Key_Down, Qt::ControlModifier);
  QCOMPARE(Cursor(), (GridCell{2, 18}));  // channel 16
  Key(Qt::Key_End);
  QCOMPARE(Cursor(), (GridCell{12, 18}));
  Key(Qt::Key_PageUp);
  Key(Qt::Key_PageUp);
  QCOMPARE(Cursor(), (GridCell{12, 1}));  // the time value row, never the frame numbers
  Key(Qt::Key_Up);
  QCOMPARE(Cursor(), (GridCell{12, 1}));
  Key(Qt::Key_Home, Qt::ControlModifier);
  QCOMPARE(Cursor(), (GridCell{2, 3}));
  Key(Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
  QCOMPARE(SelectionRect(Pointer()), (GridCellRect{2, 3, 12, 9}));
}

void WindowKeysTest::typedDigitsReplaceTheBoxAndEnterMovesDown() {
  StartOnVQM13();
  Ui::TForm2& ui = fixture_->ui();
  QCOMPARE(ui.HYEdit->text(), QStringLiteral("255"));
  Key(Qt::Key_Right);
  Type("7");
  QVERIFY(ui.HYEdit->isVisible());
  QCOMPARE(ui.HYEdit->text(), QStringLiteral("7"));  // replaced, not added to
  QCOMPARE(CellOf(3, 3), 0);                         // nothing stored yet
  Type("30");
  Key(Qt::Key_Return);
  QCOMPARE(CellOf(3, 3), 255);  // 730 is brought down to 255 at the key release
  QVERIFY(ui.HYEdit->isHidden());
  QCOMPARE(QApplication::focusWidget(), fixture_->form().grid());
  QCOMPARE(Cursor(), (GridCell{3, 4}));
  Type("42");
  Key(Qt::Key_Enter, Qt::KeypadModifier);
  QCOMPARE(CellOf(3, 4), 42);
  QCOMPARE(Cursor(), (GridCell{3, 5}));
  // F2 opens the box on a lit cell showing its value.
  Key(Qt::Key_Up);
  Key(Qt::Key_F2);
  QCOMPARE(ui.HYEdit->text(), QStringLiteral("42"));
  Type("8");
  Key(Qt::Key_Return);
  QCOMPARE(CellOf(3, 4), 8);
  // Digits on a time row open nothing.
  Key(Qt::Key_Up, Qt::ControlModifier);
  Key(Qt::Key_Up, Qt::ControlModifier);
  Type("5");
  QVERIFY(ui.HYEdit->isHidden());
  QVERIFY(fixture_->messages.isEmpty());
}

void WindowKeysTest::escapeClosesTheBoxStoringNothing() {
  StartOnVQM13();
  Ui::TForm2& ui = fixture_->ui();
  SetCell(2, 3, 60);
  Type("12");
  Key(Qt::Key_Escape);
  QVERIFY(ui.HYEdit->isHidden());
  QCOMPARE(CellOf(2, 3), 60);
  QCOMPARE(Cursor(), (GridCell{2, 3}));
  QCOMPARE(QApplication::focusWidget(), fixture_->form().grid());
  Key(Qt::Key_Down);  // the keys act on the grid again
  QCOMPARE(Cursor(), (GridCell{2, 4}));
}

void WindowKeysTest::spaceTogglesOnOffCellsAndBrightnessCells() {
  StartOnVQM13();
  Type("77");
  Key(Qt::Key_Escape);
  Key(Qt::Key_Space);  // a brightness cell takes the box's number
  QCOMPARE(CellOf(2, 3), 77);
  Key(Qt::Key_Space);
  QCOMPARE(CellOf(2, 3), 0);
  QVERIFY(fixture_->ui().HYEdit->isHidden());

  SelectModel(fixture_->form(), 1);  // VQ-M01: on/off cells
  fixture_->form().grid()->setFocus();
  Key(Qt::Key_Right);
  Key(Qt::Key_Space);
  QCOMPARE(CellOf(3, 3), 255);  // fadeCode
  Key(Qt::Key_Return);          // Enter clicks as well
  QCOMPARE(CellOf(3, 3), 0);
  Type("4");  // no value box on on/off cells
  QVERIFY(fixture_->ui().HYEdit->isHidden());
  // Each toggle by key is an undo step of its own.
  Key(Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(CellOf(3, 3), 255);
  Key(Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(CellOf(3, 3), 0);
}

void WindowKeysTest::shortcutsRunTheMenuItemsAndShowInTheMenu() {
  StartOnVQM13();
  const struct {
    const char* item;
    QKeySequence key;
  } shown[] = {
      {"N3", QKeySequence(Qt::CTRL | Qt::Key_C)}, {"N6", QKeySequence(Qt::CTRL | Qt::Key_X)},
      {"N5", QKeySequence(Qt::CTRL | Qt::Key_V)}, {"N4", QKeySequence(Qt::CTRL | Qt::Key_D)},
      {"N1", QKeySequence(Qt::Key_Insert)},       {"N2", QKeySequence(Qt::CTRL | Qt::Key_Delete)}};
  for (const auto& item : shown) {
    QCOMPARE(fixture_->form()
                 .rightMenu()
                 ->findChild<QAction*>(QString::fromLatin1(item.item))
                 ->shortcut(),
             item.key);
  }
  // Frames 1..2 of channels 1..2 hold 1 2 / 3 4.
  SetCell(2, 3, 1);
  SetCell(3, 3, 2);
  SetCell(2, 4, 3);
  SetCell(3, 4, 4);
  Key(Qt::Key_Right, Qt::ShiftModifier);
  Key(Qt::Key_Down, Qt::ShiftModifier);
  Key(Qt::Key_X, Qt::ControlModifier);  // copy and clear
  QCOMPARE(CellOf(2, 3) + CellOf(3, 3) + CellOf(2, 4) + CellOf(3, 4), 0);
  Keys(Qt::Key_Right, 3);  // frame 5, channel 2
  Key(Qt::Key_V, Qt::ControlModifier);
  QCOMPARE(CellOf(6, 4), 1);
  QCOMPARE(CellOf(7, 4), 2);
  QCOMPARE(CellOf(6, 5), 3);
  QCOMPARE(CellOf(7, 5), 4);
  // A single cell: copy, then paste elsewhere; Delete clears it.
  Key(Qt::Key_C, Qt::ControlModifier);
  Keys(Qt::Key_Down, 2, Qt::ControlModifier);  // the used range's last channel, then channel 16
  Key(Qt::Key_V, Qt::ControlModifier);
  QCOMPARE(CellOf(6, 18), 1);
  Key(Qt::Key_Delete);
  QCOMPARE(CellOf(6, 18), 0);
  // Ctrl+D is disabled for a single cell, as the menu shows it.
  Key(Qt::Key_D, Qt::ControlModifier);
  QCOMPARE(CellOf(6, 18), 0);
  // Insert and Ctrl+Delete move the frames from the cursor's column on.
  Key(Qt::Key_Up, Qt::ControlModifier);
  Key(Qt::Key_Down);  // channel 2, frame 5
  Key(Qt::Key_Insert);
  QCOMPARE(CellOf(6, 4), 0);
  QCOMPARE(CellOf(7, 4), 1);
  QCOMPARE(CellOf(8, 4), 2);
  Key(Qt::Key_Delete, Qt::ControlModifier);
  Key(Qt::Key_Delete, Qt::ControlModifier);
  QCOMPARE(CellOf(6, 4), 2);
  QCOMPARE(CellOf(7, 4), 0);
  // The value box keeps Ctrl+V for its text.
  Type("5");
  Key(Qt::Key_V, Qt::ControlModifier);
  QCOMPARE(CellOf(6, 4), 2);
  QVERIFY(fixture_->messages.isEmpty());
}

void WindowKeysTest::timeRowsChooseTheFrameTimeByKeys() {
  StartOnVQM13();
  Ui::TForm2& ui = fixture_->ui();
  const FrameTimes& times = fixture_->form().document().store().frameTime[0];
  Keys(Qt::Key_Right, 2);
  Key(Qt::Key_Up);  // the time type row of frame 3
  PickFromList(2);  // "s"
  QVERIFY(ui.TimeComb->isHidden());
  QCOMPARE(times.timeType[4], FRAME_TIME_S);
  QCOMPARE(QApplication::focusWidget(), fixture_->form().grid());
  Key(Qt::Key_Up);  // the time value row
  PickFromList(6);  // "1" .. "5", then "1000", "999"
  QCOMPARE(times.timeValue[4], 999);
  QCOMPARE(QApplication::focusWidget(), fixture_->form().grid());
  Key(Qt::Key_Return);
  Key(Qt::Key_Escape);  // closes the list choosing nothing
  Key(Qt::Key_Escape);
  QVERIFY(ui.TimeComb2->isHidden());
  QCOMPARE(times.timeValue[4], 999);
  QCOMPARE(QApplication::focusWidget(), fixture_->form().grid());
}

// A keyboard-only session: a running light over 16 channels and 32 frames
// (channel k lit in frames k and k + 16, frame f holding 100 + f), frames
// 1..16 lasting 2 s and frames 17..32 default time 3, saved with Ctrl+S.
void WindowKeysTest::keyboardSessionSavesARunningLight() {
  const QString path = fixture_->Path("light.Aled");
  SetFileDialogHook([path](QWidget*, const FileDialogRequest&) { return path; });
  StartOnVQM13();
  for (int frame = 1; frame <= 32; ++frame) {
    if (frame == 17) Key(Qt::Key_Up, Qt::ControlModifier);  // back to channel 1
    if (frame > 1) Key(Qt::Key_Right);
    Type(QByteArray::number(100 + frame).constData());
    Key(Qt::Key_Return);  // stores and moves down a channel
  }
  Key(Qt::Key_Home);
  Key(Qt::Key_Up, Qt::ControlModifier);
  Key(Qt::Key_Up, Qt::ControlModifier);  // the time value row of frame 1
  for (int frame = 1; frame <= 32; ++frame) {
    Key(Qt::Key_Down);                  // the time type row
    PickFromList(frame <= 16 ? 2 : 0);  // "s", or "-" for a default time
    Key(Qt::Key_Up);
    PickFromList(frame <= 16 ? 1 : 2);  // 2 s, or default time 3
    Key(Qt::Key_Right);
  }
  Key(Qt::Key_S, Qt::ControlModifier);

  // 20 area images: area 1 with 16 channels and 32 frames, then 19 empty
  // ones. A header holds N, F, the default times 1000, 800, 600, 400, 200
  // ms, enabled, loop for ever, loop count 0, end mode 0 and the
  // controller-type byte 2 of "普通控制器" (RadioButton6, set at start).
  const unsigned char header[30] = {0,    16,   0, 32,   0x03, 0xE8, 0, 0x03, 0x20, 0,
                                    0x02, 0x58, 0, 0x01, 0x90, 0,    0, 0xC8, 0,    1,
                                    1,    0,    0, 0,    2,    0,    0, 0,    0,    0};
  const int areaLength = 30 + 32 * (3 + 16);
  QByteArray expected(areaLength + 19 * 30, '\0');
  for (int area = 0; area < 20; ++area) {
    const int start = area == 0 ? 0 : areaLength + (area - 1) * 30;
    for (int i = 0; i < 30; ++i) expected[start + i] = static_cast<char>(header[i]);
    if (area > 0) expected[start + 3] = 0;  // F = 0
  }
  for (int frame = 1; frame <= 32; ++frame) {
    const int record = 30 + (frame - 1) * 19;
    expected[record + 1] = frame <= 16 ? 2 : 3;             // time value
    expected[record + 2] = frame <= 16 ? FRAME_TIME_S : 0;  // time type
    expected[record + 3 + (frame - 1) % 16] = static_cast<char>(100 + frame);
  }
  const QByteArray written = fixture_->ReadFile("light.Aled");
  QCOMPARE(written.size(), 638 + 570);
  for (int i = 0; i < written.size(); ++i) {
    QVERIFY2(written[i] == expected[i],
             qPrintable(QStringLiteral("byte %1: %2, expected %3")
                            .arg(i)
                            .arg(static_cast<unsigned char>(written[i]))
                            .arg(static_cast<unsigned char>(expected[i]))));
  }
}

}  // namespace vqled

QTEST_MAIN(vqled::WindowKeysTest)
#include "window_keys_test.moc"
