// The model and area controls of the window: the control states a handful of
// models give the form's widgets, the tabs, the grid layout, the quirks of
// showing an area, the default times, the panel toggles, the anchors and the
// area controls a .led import refreshes.
#include <QAction>
#include <QMenu>
#include <QTabBar>

#include "file_dialog.h"
#include "window_fixture.h"

using namespace vqled;

class WindowAreaTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void modelsSetTheirControlStates_data();
  void modelsSetTheirControlStates();
  void perAreaLayoutsOfVqM26AndVqM28();
  void controllerCountIsLimitedAndMakesAreaOneCurrent();
  void showAreaEnablesCheckBox2PerAreaAndStoresEnabledOnlyOnAChange();
  void endBoxesAndDefaultTimesAreShownNotStored();
  void endBoxRulesFollowTheUser();
  void defaultTimesNeverStayEmpty();
  void clearCurrentAreaKeepsTheControls();
  void fadeListAndPanelToggles();
  void languageSwitchKeepsAreaControls();
  void gridTakesUpTheResize();
  void vqM13TabsEndBeforeTheControllerType();
  void ledImportShowsTheFileSettingsThatDownloadsAndSavesUse();

 private:
  std::unique_ptr<WindowFixture> fixture_;
  TForm2* form_ = nullptr;
  Ui::TForm2* ui_ = nullptr;
};

void WindowAreaTest::init() {
  fixture_ = std::make_unique<WindowFixture>();
  form_ = &fixture_->Start();
  ui_ = form_->form();
}

void WindowAreaTest::cleanup() {
  SetFileDialogHook({});
  fixture_.reset();
}

void WindowAreaTest::modelsSetTheirControlStates_data() {
  QTest::addColumn<int>("model");
  QTest::addColumn<QStringList>("shown");
  QTest::addColumn<QStringList>("hidden");
  QTest::addColumn<QStringList>("enabled");
  QTest::addColumn<QStringList>("disabled");
  QTest::addColumn<int>("columns");
  QTest::addColumn<int>("frameWidth");
  QTest::newRow("VQ-M00") << 0 << QStringList{"Label11", "ComboBox1", "time3", "CheckBox3"}
                          << QStringList{"ComboBox8", "time4", "TabControl1", "ComboBox13"}
                          << QStringList{"CheckBox3", "N7"}
                          << QStringList{"BitBtn3", "BitBtn5", "ComboBox4", "BitBtn15"} << 1500
                          << 25;
  QTest::newRow("VQ-M01") << 1 << QStringList{"ComboBox8", "time2"}
                          << QStringList{"time3", "timeT3", "Label11", "TabControl1"}
                          << QStringList{"BitBtn7"}
                          << QStringList{"timeT1", "timeT2", "BitBtn4", "N7", "N8"} << 4000 << 18;
  QTest::newRow("VQ-M05") << 5 << QStringList{"TabControl1", "time5", "RadioButton4"}
                          << QStringList{"ComboBox8", "ComboBox13"}
                          << QStringList{"ComboBox4", "BitBtn3", "TabControl1"}
                          << QStringList{"BitBtn15"} << 4002 << 25;
  QTest::newRow("VQ-M12") << 12 << QStringList{"CheckBox6"} << QStringList{}
                          << QStringList{"CheckBox3", "CheckBox6", "RadioButton3"}
                          << QStringList{"RadioButton1", "RadioButton2", "Edit6", "RadioButton4"}
                          << 502 << 25;
  QTest::newRow("VQ-M13") << 13 << QStringList{"GroupBox7", "RadioButton5", "BitBtn16"}
                          << QStringList{"Label113"} << QStringList{"CheckBox3", "CheckBox6"}
                          << QStringList{} << 372 << 25;
  QTest::newRow("VQ-M21") << 21 << QStringList{"Label113", "ComboBox13", "CheckBox3", "ComboBox8"}
                          << QStringList{"CheckBox6", "RadioButton4"} << QStringList{"CheckBox3"}
                          << QStringList{} << 1002 << 25;
  QTest::newRow("VQ-M27") << 27 << QStringList{"ComboBox13"}
                          << QStringList{"CheckBox3", "CheckBox6", "RadioButton4"}
                          << QStringList{"BitBtn15"} << QStringList{} << 1002 << 25;
  // No item selected (a saved model index the list does not have): the
  // fallback profile.
  QTest::newRow("none") << -1 << QStringList{"Label11", "ComboBox1", "ComboBox3", "time5"}
                        << QStringList{"TabControl1", "ComboBox8", "ComboBox13"}
                        << QStringList{"BitBtn3"} << QStringList{"N7", "N8"} << 4002 << 25;
}

// The states are read off the widgets themselves, found by their names.
void WindowAreaTest::modelsSetTheirControlStates() {
  QFETCH(int, model);
  QFETCH(QStringList, shown);
  QFETCH(QStringList, hidden);
  QFETCH(QStringList, enabled);
  QFETCH(QStringList, disabled);
  QFETCH(int, columns);
  QFETCH(int, frameWidth);
  SelectModel(*form_, model);
  auto isEnabled = [this](const QString& name) {
    if (QAction* item = form_->rightMenu()->findChild<QAction*>(name)) return item->isEnabled();
    return form_->findChild<QWidget*>(name)->isEnabled();
  };
  for (const QString& name : shown)
    QVERIFY2(form_->findChild<QWidget*>(name)->isVisible(), qPrintable(name));
  for (const QString& name : hidden)
    QVERIFY2(form_->findChild<QWidget*>(name)->isHidden(), qPrintable(name));
  for (const QString& name : enabled) QVERIFY2(isEnabled(name), qPrintable(name));
  for (const QString& name : disabled) QVERIFY2(!isEnabled(name), qPrintable(name));
  QVERIFY(ui_->RadioButton3->isChecked());
  QCOMPARE(form_->grid()->columnCount(), columns);
  QCOMPARE(form_->grid()->columnWidth(5), frameWidth);
  QCOMPARE(form_->grid()->columnWidth(0), 60);
  QCOMPARE(form_->grid()->columnWidth(1), 5);
}

void WindowAreaTest::perAreaLayoutsOfVqM26AndVqM28() {
  SelectModel(*form_, 28);
  QCOMPARE(ui_->TabControl1->count(), 20);
  QCOMPARE(ui_->TabControl1->tabText(0), QStringLiteral("单1区"));
  QCOMPARE(form_->grid()->rowCount(), 6 + 3);
  ui_->TabControl1->setCurrentIndex(10);  // "彩1区"
  QCOMPARE(form_->document().store().currentArea, 10);
  QCOMPARE(form_->grid()->rowCount(), 90 + 3);
  QCOMPARE(form_->grid()->columnCount(), 108);
  QCOMPARE(form_->document().store().gridColumnCount, 332);

  SelectModel(*form_, 26);
  ui_->TabControl1->setCurrentIndex(2);
  QCOMPARE(ui_->TabControl1->tabText(2), QStringLiteral("3刹车区一"));
  QCOMPARE(form_->grid()->rowCount(), 20 + 3);
  QCOMPARE(form_->document().profile().channelLabelOffset, 8);
}

void WindowAreaTest::controllerCountIsLimitedAndMakesAreaOneCurrent() {
  SelectModel(*form_, 5);
  ui_->TabControl1->setCurrentIndex(3);
  ui_->RadioButton2->click();  // area 4 plays 5 times
  ui_->Edit6->selectAll();
  QTest::keyClicks(ui_->Edit6, QStringLiteral("5"));
  QCOMPARE(form_->document().store().playSettings[3].loopMode, LOOP_COUNT);
  QCOMPARE(form_->document().store().playSettings[3].loopCount, 5);
  ui_->ComboBox4->lineEdit()->selectAll();
  QTest::keyClicks(ui_->ComboBox4->lineEdit(), QStringLiteral("4"));
  QCOMPARE(form_->document().store().currentArea, 0);
  QCOMPARE(ui_->TabControl1->currentIndex(), 0);
  QCOMPARE(form_->grid()->rowCount(), 15);
  QCOMPARE(ui_->Edit6->text(), QStringLiteral("5"));  // still area 4's count
  QCOMPARE(form_->document().store().playSettings[0].loopMode, LOOP_FOREVER);
  QCOMPARE(form_->document().store().playSettings[0].loopCount, 0);

  ui_->ComboBox4->lineEdit()->selectAll();
  QTest::keyClicks(ui_->ComboBox4->lineEdit(), QStringLiteral("99"));
  QCOMPARE(ui_->ComboBox4->currentText(), QStringLiteral("20"));
  QCOMPARE(form_->grid()->rowCount(), 20 * 3 + 3);
}

// Area 1 cannot be disabled. Disabling area 3, then showing area 4 and area
// 3 again stores area 4 enabled (the box went from unchecked to checked) and
// keeps area 3 disabled although the box shows checked.
void WindowAreaTest::showAreaEnablesCheckBox2PerAreaAndStoresEnabledOnlyOnAChange() {
  SelectModel(*form_, 4);
  QVERIFY(!ui_->CheckBox2->isEnabled());
  ui_->TabControl1->setCurrentIndex(2);
  QVERIFY(ui_->CheckBox2->isEnabled());
  ui_->CheckBox2->click();
  QCOMPARE(form_->document().store().playSettings[2].enabled, 0);
  QVERIFY(!form_->grid()->isVisible());
  form_->document().store().playSettings[3].enabled = 0;
  ui_->TabControl1->setCurrentIndex(3);
  QCOMPARE(form_->document().store().playSettings[3].enabled, 1);
  QVERIFY(form_->grid()->isVisible());
  ui_->TabControl1->setCurrentIndex(2);
  QVERIFY(ui_->CheckBox2->isChecked());
  QCOMPARE(form_->document().store().playSettings[2].enabled, 0);
}

void WindowAreaTest::endBoxesAndDefaultTimesAreShownNotStored() {
  SelectModel(*form_, 10);
  PatternStore& store = form_->document().store();
  store.playSettings[1].endMode = 2;
  store.playSettings[4].endMode = 1;
  store.playSettings[4].loopMode = LOOP_ONCE;
  store.defaultTime[4][2] = {42, 2};
  ui_->TabControl1->setCurrentIndex(1);
  QVERIFY(ui_->CheckBox6->isChecked() && !ui_->CheckBox3->isChecked());
  ui_->TabControl1->setCurrentIndex(4);
  QVERIFY(ui_->CheckBox3->isChecked() && !ui_->CheckBox6->isChecked());
  QVERIFY(ui_->CheckBox3->isEnabled() && ui_->CheckBox6->isEnabled());  // once, on VQ-M10
  QCOMPARE(ui_->time3->currentText(), QStringLiteral("42"));
  QCOMPARE(ui_->timeT3->currentText(), QStringLiteral("min"));
  QCOMPARE(store.playSettings[1].endMode, 2);
  QCOMPARE(store.playSettings[4].endMode, 1);
  QCOMPARE(store.defaultTime[1][2].value, 600);  // showing area 5 stored nothing into area 2
  ui_->RadioButton3->click();
  QVERIFY(!ui_->RadioButton1->isChecked());
  QVERIFY(ui_->RadioButton6->isChecked());  // the controller-type buttons are a set of their own
  QVERIFY(!ui_->CheckBox3->isEnabled() && !ui_->CheckBox6->isEnabled());
  QCOMPARE(store.playSettings[4].loopMode, LOOP_FOREVER);
}

void WindowAreaTest::endBoxRulesFollowTheUser() {
  SelectModel(*form_, 13);
  ui_->RadioButton1->click();
  ui_->CheckBox6->click();
  QCOMPARE(form_->document().store().playSettings[0].endMode, 2);
  ui_->CheckBox3->click();
  QVERIFY(!ui_->CheckBox6->isChecked());
  QCOMPARE(form_->document().store().playSettings[0].endMode, 1);
  ui_->CheckBox3->click();
  QCOMPARE(form_->document().store().playSettings[0].endMode, 0);

  SelectModel(*form_, 9);  // the end list
  ui_->ComboBox13->setCurrentIndex(2);
  emit ui_->ComboBox13->activated(2);
  QCOMPARE(form_->document().store().playSettings[0].endMode, 2);
}

void WindowAreaTest::defaultTimesNeverStayEmpty() {
  SelectModel(*form_, 4);
  ui_->TabControl1->setCurrentIndex(1);
  ui_->time3->lineEdit()->selectAll();
  QTest::keyClick(ui_->time3->lineEdit(), Qt::Key_Backspace);
  QCOMPARE(ui_->time3->currentText(), QStringLiteral("1"));
  QCOMPARE(form_->document().store().defaultTime[1][2].value, 1);
  ui_->time5->lineEdit()->selectAll();
  QTest::keyClicks(ui_->time5->lineEdit(), QStringLiteral("0"));
  QCOMPARE(ui_->time5->currentText(), QStringLiteral("1"));
  ui_->timeT4->setCurrentIndex(2);
  QCOMPARE(form_->document().store().defaultTime[1][3].unit, 2);
  QVERIFY(fixture_->messages.isEmpty());
}

void WindowAreaTest::clearCurrentAreaKeepsTheControls() {
  SelectModel(*form_, 4);
  ui_->RadioButton1->click();
  form_->document().store().Cell(0, 3, 2) = 9;
  ui_->BitBtn10->click();
  QCOMPARE(form_->document().store().Cell(0, 3, 2), 0);
  QCOMPARE(form_->document().store().playSettings[0].loopMode, LOOP_FOREVER);
  QVERIFY(ui_->RadioButton1->isChecked());

  form_->document().store().Cell(5, 3, 2) = 9;
  ui_->BitBtn3->click();
  QCOMPARE(form_->document().store().Cell(5, 3, 2), 0);
  QVERIFY(ui_->RadioButton3->isChecked());
}

void WindowAreaTest::fadeListAndPanelToggles() {
  SelectModel(*form_, 1);
  ui_->ComboBox8->setCurrentIndex(1);
  emit ui_->ComboBox8->activated(1);
  QCOMPARE(form_->document().store().fadeCode, 2);
  ui_->BitBtn15->setEnabled(true);
  ui_->BitBtn15->click();
  QVERIFY(ui_->GroupBox10->isVisible());
  ui_->BitBtn15->click();
  QVERIFY(!ui_->GroupBox10->isVisible());
  ui_->CheckBox7->click();
  QVERIFY(ui_->GroupBox1->isVisible());
  QVERIFY(form_->findChild<QTimer*>(QStringLiteral("DataTime"))->isActive());
  QTRY_VERIFY_WITH_TIMEOUT(
      ui_->Label137->text().startsWith(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))),
      3000);  // the clock of the debug panel runs
  ui_->CheckBox7->click();
  QVERIFY(!ui_->GroupBox1->isVisible());
  QVERIFY(!form_->findChild<QTimer*>(QStringLiteral("DataTime"))->isActive());
}

// English, then Traditional Chinese: the captions Traditional Chinese leaves
// alone stay English; the switch makes area 1 current and leaves the loop
// count showing area 4's.
void WindowAreaTest::languageSwitchKeepsAreaControls() {
  SelectModel(*form_, 4);
  ui_->TabControl1->setCurrentIndex(3);
  ui_->Edit6->setText(QStringLiteral("8"));
  form_->BitBtn13Click();
  form_->BitBtn11Click();
  QCOMPARE(form_->document().store().currentArea, 0);
  QCOMPARE(ui_->Edit6->text(), QStringLiteral("8"));
  QCOMPARE(form_->document().store().playSettings[0].loopCount, 0);
  QCOMPARE(ui_->Label11->text(), QStringLiteral("Change settings"));
  QCOMPARE(ui_->BitBtn3->text(), QStringLiteral("清除全部"));
  QCOMPARE(ui_->BitBtn10->text(), QStringLiteral("清除當前"));
  QCOMPARE(form_->rightMenu()->findChild<QAction*>(QStringLiteral("N8"))->text(),
           QStringLiteral("Line changes"));
  QCOMPARE(form_->languageMode.textVariant, 1);
  QCOMPARE(form_->languageMode.savedLanguage, 1);
}

void WindowAreaTest::gridTakesUpTheResize() {
  const QRect before = form_->grid()->geometry();
  const int bandWidth = ui_->GroupBox5->width();
  const QPoint sendButton = ui_->BitBtn7->geometry().topLeft();
  form_->resize(1200, 900);
  QCOMPARE(form_->grid()->width(), before.width() + 1200 - 943);
  QCOMPARE(form_->grid()->height(), before.height() + 900 - 669);
  QCOMPARE(ui_->GroupBox5->width(), bandWidth + 1200 - 943);
  QCOMPARE(ui_->BitBtn7->geometry().topLeft(), sendButton);
}

// The tabs take the width of their captions, so VQ-M13's four tabs end left
// of GroupBox7, which sits inside the tab bar.
void WindowAreaTest::vqM13TabsEndBeforeTheControllerType() {
  SelectModel(*form_, 13);
  const QTabBar* tabs = ui_->TabControl1;
  QCOMPARE(tabs->count(), 4);
  QVERIFY(ui_->GroupBox7->isVisible());
  QVERIFY(tabs->tabRect(tabs->count() - 1).right() < ui_->GroupBox7->x());
}

// A .led import shows the file's default times and units, loop mode and loop
// count in the area controls, so a VQ-M02 debug download (which reads them
// from the controls) sends the file's header and a .led save writes the file
// again.
void WindowAreaTest::ledImportShowsTheFileSettingsThatDownloadsAndSavesUse() {
  constexpr int kModelVQM02 = 2;
  SelectModel(*form_, kModelVQM02);  // shows "无限循环", count 0, 1000 ms, 800 ms
  const QByteArray led = QByteArray::fromHex(
      "0200"      // model index, controller-count index
      "000c0001"  // 12 channels, 1 frame
      "006400"
      "00c801"
      "025800"
      "019002"
      "00c800"  // default times 100 ms, 200 s, 600 ms, 400 min, 200 ms
      "01030004"
      "00"
      "00"
      "0000000000"  // enabled, once, 4 times, end mode, type, zeros
      "000100"
      "ff03000000000000"
      "02000000");  // frame: time 1; channel 1 on, 2 fades in, 9 fades out
  fixture_->WriteFile("show.led", led);
  QString answer = fixture_->Path("show.led");
  SetFileDialogHook([&answer](QWidget*, const FileDialogRequest&) { return answer; });
  ui_->BitBtn9->click();
  QVERIFY(fixture_->messages.isEmpty());
  QComboBox* const times[] = {ui_->time1, ui_->time2, ui_->time3, ui_->time4, ui_->time5};
  QComboBox* const units[] = {ui_->timeT1, ui_->timeT2, ui_->timeT3, ui_->timeT4, ui_->timeT5};
  const char* const texts[] = {"100", "200", "600", "400", "200"};
  const int unitIndexes[] = {0, 1, 0, 2, 0};
  for (int k = 0; k < 5; ++k) {
    QCOMPARE(times[k]->currentText(), QString::fromLatin1(texts[k]));
    QCOMPARE(units[k]->currentIndex(), unitIndexes[k]);
  }
  QVERIFY(ui_->RadioButton1->isChecked() && !ui_->RadioButton3->isChecked());
  QCOMPARE(ui_->Edit6->text(), QStringLiteral("4"));
  QCOMPARE(form_->document().store().playSettings[0].loopMode, LOOP_ONCE);
  QCOMPARE(form_->document().store().playSettings[0].loopCount, 4);

  const int entry = ui_->ComboBox5->findData(QStringLiteral("virtual"));
  QVERIFY(entry >= 0);
  ui_->ComboBox5->setCurrentIndex(entry);
  ui_->CheckBox4->setChecked(true);
  ui_->BitBtn7->click();
  QTRY_VERIFY(ui_->BitBtn7->isEnabled());
  // Once, 4 times, two groups, one frame, times 100 and 200; the frame's A
  // and B bytes of groups 0 and 1.
  QCOMPARE(fixture_->ReadFile("send.bin").toHex(' '), QByteArray::fromHex("02"
                                                                          "0004"
                                                                          "02"
                                                                          "0001"
                                                                          "0064"
                                                                          "00c8"
                                                                          "02030100")
                                                          .toHex(' '));

  answer = fixture_->Path("again.led");
  ui_->BitBtn8->click();
  QByteArray again = led;
  again[2 + 24] = 2;  // the controller-type byte: "普通控制器" (RadioButton6) is set
  QCOMPARE(fixture_->ReadFile("again.led").toHex(' '), again.toHex(' '));
  QVERIFY(fixture_->messages.isEmpty());
}

QTEST_MAIN(WindowAreaTest)
#include "window_area_test.moc"
