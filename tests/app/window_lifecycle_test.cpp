// Start and close of the window: the first start without Config.ini, a
// restart restoring what the last run left (a typed controller count
// included), a bad settings file reported while the window opens with every
// value it could apply and the patterns of the last run, a settings file
// that cannot be written, a resume file read only in part (and its bytes
// kept), saves in a folder that takes no new file, temporary files of killed
// saves, and SIGTERM closing like the close button.
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <cerrno>
#include <csignal>

#include "files/file_io.h"
#include "signal_close.h"
#include "window_fixture.h"

using namespace vqled;

class WindowLifecycleTest : public QObject {
  Q_OBJECT

 private slots:
  void firstStartAppliesDefaultsAndWritesBothFiles();
  void restartRestoresModelTimesTriggersLanguageAndPatterns();
  void typedControllerCountIsSavedAndRestored_data();
  void typedControllerCountIsSavedAndRestored();
  void badSettingsValueIsReportedAndTheOtherKeysApplied();
  void badSettingsFileStillOpensTheWindow_data();
  void badSettingsFileStillOpensTheWindow();
  void patternsDrawnAfterABadSettingsFileAreSaved();
  void noModelSelectedIsSavedAsHytypeMinusOneAndTypeZero();
  void anyLanguageValueButZeroSelectsEnglish();
  void unwritableSettingsAreReportedAndPatternsStillSaved();
  void hostileResumeFileIsReportedOnceAndLeavesFreshAreas();
  void resumeFileReadInPartRestoresItsWholeAreasAndIsKept();
  void savesGoInPlaceWhereNoTemporaryFileCanBeMade();
  void temporaryFilesOfKilledSavesAreRemovedAtStart();
  void sigtermClosesAndSaves();
  void conversionErrorIsShownAndStoresNothing();
  void numberFieldsTakeDigitsOnly();
};

void WindowLifecycleTest::firstStartAppliesDefaultsAndWritesBothFiles() {
  WindowFixture fixture;
  TForm2& form = fixture.Start();
  Ui::TForm2& ui = fixture.ui();
  QVERIFY(fixture.messages.isEmpty());
  QCOMPARE(ui.ComboBox6->currentText(), QStringLiteral("VQ-M00"));
  QCOMPARE(form.document().profile().modelIndex, 0);
  QCOMPARE(ui.ComboBox4->currentText(), QStringLiteral("1"));
  QCOMPARE(ui.ComboBox5->currentText(), QStringLiteral("COM1"));
  const char* times[] = {"1000", "800", "600", "400", "200"};
  QComboBox* lists[] = {ui.time1, ui.time2, ui.time3, ui.time4, ui.time5};
  QComboBox* units[] = {ui.timeT1, ui.timeT2, ui.timeT3, ui.timeT4, ui.timeT5};
  for (int k = 0; k < 5; ++k) {
    QCOMPARE(lists[k]->currentText(), QString::fromLatin1(times[k]));
    QCOMPARE(units[k]->currentText(), QStringLiteral("ms"));
    QCOMPARE(form.document().store().defaultTime[7][k].value,
             QString::fromLatin1(times[k]).toInt());
    QCOMPARE(lists[k]->count(), 1000);
  }
  QCOMPARE(ui.ComBoxLEDN1->currentIndex(), 6);
  QCOMPARE(ui.ComBoxA1->currentIndex(), 0);
  QCOMPARE(form.languageMode.savedLanguage, 0);
  QCOMPARE(form.languageMode.textVariant, 0);
  QCOMPARE(form.windowTitle(), QStringLiteral("可编程LED控制器--VQ-LED_v3.47（ALL）"));
  QCOMPARE(ui.BitBtn3->text(), QStringLiteral("清除全部"));
  QCOMPARE(ui.Label91->text(), QStringLiteral("控制器型号:"));
  QVERIFY(ui.Label13->text().isEmpty());  // showing area 1 clears the status line
  QVERIFY(form.grid()->isVisible());
  QCOMPARE(form.grid()->rowCount(), 4 + 3);
  QVERIFY(!ui.GroupBox10->isVisible());
  // Lamp 37 starts the second row; lamp 36 ends the first.
  QCOMPARE(form.previewLamp(36)->geometry(), QRect(16, 60, 16, 16));
  QCOMPARE(form.previewLamp(35)->geometry(), QRect(891, 4, 16, 16));

  fixture.Close();
  const QByteArray config = fixture.ReadFile("Config.ini");
  for (const char* line : {"COM=COM1", "HYTYPE=0", "NUM=0", "TIME1=1000", "TIMETYPE5=0", "Type=0",
                           "Languages=0", "Group1=6", "GroupE6=0", "ComboBox14=0"}) {
    QVERIFY2(config.contains(line), line);
  }
  QVERIFY(config.indexOf("TIME1=") < config.indexOf("TIMETYPE1=") &&
          config.indexOf("TIMETYPE1=") < config.indexOf("TIME2="));
  QCOMPARE(fixture.ReadFile("tempRGB.bin").size(), 600);  // 20 empty areas of 30 bytes
}

void WindowLifecycleTest::restartRestoresModelTimesTriggersLanguageAndPatterns() {
  WindowFixture fixture;
  {
    TForm2& form = fixture.Start();
    Ui::TForm2& ui = fixture.ui();
    SelectModel(form, 5);  // VQ-M05, several controllers
    ui.ComboBox4->setCurrentIndex(3);
    form.ComboBox4Change();
    ui.TabControl1->setCurrentIndex(2);
    ui.time2->setEditText(QStringLiteral("750"));
    ui.timeT2->setCurrentIndex(1);
    ui.ComBoxA2->setCurrentIndex(3);
    ui.ComboBoxAC->setCurrentIndex(17);
    form.BitBtn13Click();
    form.document().store().Cell(2, 5, 9) = 77;
    form.document().store().playSettings[2].loopMode = LOOP_COUNT;
    form.document().store().playSettings[2].loopCount = 12;
    fixture.Close();
  }
  QVERIFY(fixture.ReadFile("Config.ini").contains("HYTYPE=5"));
  TForm2& form = fixture.Start();
  Ui::TForm2& ui = fixture.ui();
  QVERIFY(fixture.messages.isEmpty());
  QCOMPARE(form.document().profile().modelIndex, 5);
  QCOMPARE(ui.ComboBox4->currentText(), QStringLiteral("4"));
  QCOMPARE(form.grid()->rowCount(), 4 * 3 + 3);
  QCOMPARE(ui.TabControl1->count(), 7);
  QCOMPARE(form.document().store().Cell(2, 5, 9), 77);
  QCOMPARE(form.document().store().playSettings[2].loopCount, 12);
  QCOMPARE(form.document().store().defaultTime[2][1].value, 750);
  QCOMPARE(form.document().store().defaultTime[2][1].unit, 1);
  QCOMPARE(ui.ComBoxA2->currentIndex(), 3);
  QVERIFY(!ui.ComBoxE2->isEnabled());  // key mode: no release action
  QCOMPARE(ui.ComboBoxAC->currentIndex(), 17);
  QCOMPARE(form.languageMode.savedLanguage, 1);
  QCOMPARE(ui.BitBtn3->text(), QStringLiteral("Clear all"));
  QCOMPARE(form.document().store().currentArea, 0);
}

// A count typed into ComboBox4 is the count in force: the grid, NUM in
// Config.ini and the next start agree, so the cells of the last controller
// survive two closes.
void WindowLifecycleTest::typedControllerCountIsSavedAndRestored_data() {
  QTest::addColumn<int>("leaveKey");
  QTest::newRow("Enter") << int(Qt::Key_Return);
  QTest::newRow("Tab away") << int(Qt::Key_Tab);
}

void WindowLifecycleTest::typedControllerCountIsSavedAndRestored() {
  QFETCH(int, leaveKey);
  constexpr int kModelVQM07 = 7;        // 9 channels per controller
  constexpr int kLastRow = 15 * 9 + 2;  // the last channel of controller 15
  WindowFixture fixture;
  {
    TForm2& form = fixture.Start();
    Ui::TForm2& ui = fixture.ui();
    SelectModel(form, kModelVQM07);
    QLineEdit* count = ui.ComboBox4->lineEdit();
    QTest::mouseDClick(count, Qt::LeftButton);  // selects the "1" shown
    QTest::keyClicks(count, QStringLiteral("15"));
    QTest::keyClick(count, static_cast<Qt::Key>(leaveKey));
    QCOMPARE(ui.ComboBox4->currentText(), QStringLiteral("15"));
    QCOMPARE(ui.ComboBox4->currentIndex(), 14);
    QCOMPARE(form.grid()->rowCount(), 15 * 9 + 3);
    form.document().store().Cell(0, kLastRow, 2) = 200;
    fixture.Close();
  }
  QVERIFY(fixture.ReadFile("Config.ini").contains("NUM=14"));
  for (int start = 0; start < 2; ++start) {
    TForm2& form = fixture.Start();
    QCOMPARE(fixture.ui().ComboBox4->currentText(), QStringLiteral("15"));
    QCOMPARE(form.grid()->rowCount(), 15 * 9 + 3);
    QCOMPARE(form.document().store().Cell(0, kLastRow, 2), 200);
    fixture.Close();
  }
  QVERIFY(fixture.messages.isEmpty());
}

// A value that is no number is reported and takes its default; every other
// key, the model and the patterns of the last run are applied.
void WindowLifecycleTest::badSettingsValueIsReportedAndTheOtherKeysApplied() {
  WindowFixture fixture;
  fixture.WriteFile("Config.ini",
                    "[Config]\r\nCOM=/dev/ttyUSB7\r\nHYTYPE=13\r\nNUM=0\r\nTIME1=900\r\n"
                    "TIME2=fast\r\nTIMETYPE1=1\r\nTIMETYPE2=2\r\nTIMETYPE3=abc\r\nTIMETYPE4=1\r\n"
                    "Languages=1\r\n[Group]\r\nGroup1=2\r\n");
  TForm2& form = fixture.Start();
  Ui::TForm2& ui = fixture.ui();
  QCOMPARE(fixture.messages.size(), 1);
  QCOMPARE(fixture.messages[0].caption, QStringLiteral("Read config.ini err!"));
  const QString text = fixture.messages[0].text;
  QVERIFY2(text.startsWith(QStringLiteral("Read config.ini err!\n")), qPrintable(text));
  for (const char* named : {"TIME2=fast", "TIMETYPE3=abc", "Config.ini"}) {
    QVERIFY2(text.contains(QString::fromLatin1(named)), qPrintable(text));
  }
  QCOMPARE(ui.ComboBox5->currentText(), QStringLiteral("/dev/ttyUSB7"));
  QCOMPARE(form.document().profile().modelIndex, 13);
  QCOMPARE(ui.time1->currentText(), QStringLiteral("900"));
  QCOMPARE(ui.time2->currentText(), QStringLiteral("800"));  // the default in place of "fast"
  QCOMPARE(ui.timeT1->currentIndex(), 1);
  QCOMPARE(ui.timeT2->currentIndex(), 2);
  QCOMPARE(ui.timeT3->currentIndex(), 0);  // the default in place of "abc"
  QCOMPARE(ui.timeT4->currentIndex(), 1);
  QCOMPARE(form.document().store().defaultTime[0][3].unit, 1);
  QCOMPARE(ui.ComBoxLEDN1->currentIndex(), 2);
  QCOMPARE(form.languageMode.savedLanguage, 1);
  fixture.Close();
  const QByteArray config = fixture.ReadFile("Config.ini");
  QVERIFY2(config.contains("TIME2=800") && config.contains("TIMETYPE3=0") &&
               config.contains("TIMETYPE4=1") && config.contains("Group1=2"),
           config.constData());
  fixture.messages.clear();
  fixture.Start();
  QVERIFY(fixture.messages.isEmpty());
}

// Whatever the file holds, the start reports it once and opens the window
// with the model and controller count it could apply and the last run's
// patterns; the next close writes settings the start after it takes whole.
void WindowLifecycleTest::badSettingsFileStillOpensTheWindow_data() {
  QTest::addColumn<QByteArray>("config");
  QTest::addColumn<int>("model");
  QTest::addColumn<QString>("count");
  QTest::addColumn<QString>("named");  // what the message names
  QTest::newRow("count past the list") << QByteArray("[Config]\nHYTYPE=7\nNUM=25\n") << 7
                                       << QStringLiteral("20") << QStringLiteral("NUM=25");
  QTest::newRow("count below the list") << QByteArray("[Config]\nHYTYPE=5\nNUM=-3\n") << 5
                                        << QStringLiteral("1") << QStringLiteral("NUM=-3");
  QTest::newRow("count no number") << QByteArray("[Config]\nHYTYPE=7\nNUM=many\n") << 7
                                   << QStringLiteral("1") << QStringLiteral("NUM=many");
  QTest::newRow("model no number") << QByteArray("[Config]\nHYTYPE=x\nNUM=3\n") << 0
                                   << QStringLiteral("1") << QStringLiteral("HYTYPE=x");
  QTest::newRow("model past the list")
      << QByteArray("[Config]\nHYTYPE=99999999999\n") << 0 << QStringLiteral("1")
      << QStringLiteral("HYTYPE=99999999999");
  QTest::newRow("not a settings file")
      << QByteArray("\xff\xfe\x00garbage=\x01\n[Config\nHYTYPE", 22) << 0 << QStringLiteral("1")
      << QString();
}

void WindowLifecycleTest::badSettingsFileStillOpensTheWindow() {
  QFETCH(QByteArray, config);
  QFETCH(int, model);
  QFETCH(QString, count);
  QFETCH(QString, named);
  WindowFixture fixture;
  {
    fixture.Start();
    fixture.form().document().store().Cell(0, 3, 2) = 5;
    fixture.Close();
  }
  fixture.WriteFile("Config.ini", config);
  TForm2& form = fixture.Start();
  QVERIFY(form.isVisible());
  if (named.isEmpty()) {
    QVERIFY(fixture.messages.isEmpty());
  } else {
    QCOMPARE(fixture.messages.size(), 1);
    QVERIFY2(fixture.messages[0].text.contains(named), qPrintable(fixture.messages[0].text));
  }
  QCOMPARE(form.document().profile().modelIndex, model);
  QCOMPARE(fixture.ui().ComboBox6->currentIndex(), model);
  QCOMPARE(fixture.ui().ComboBox4->currentText(), count);
  QCOMPARE(form.grid()->rowCount(), ShownChannelCount(form.document().profile()) + 3);
  QCOMPARE(form.document().store().Cell(0, 3, 2), 5);
  fixture.Close();
  fixture.messages.clear();
  QCOMPARE(fixture.Start().document().store().Cell(0, 3, 2), 5);
  QCOMPARE(fixture.ui().ComboBox4->currentText(), count);
  QVERIFY(fixture.messages.isEmpty());
}

// After a bad start the last run's patterns and the user's new drawing are
// what the close saves.
void WindowLifecycleTest::patternsDrawnAfterABadSettingsFileAreSaved() {
  WindowFixture fixture;
  {
    fixture.Start().document().store().Cell(0, 3, 2) = 5;
    fixture.Close();
  }
  fixture.WriteFile("Config.ini", "[Config]\nHYTYPE=x\n");
  fixture.Start().document().store().Cell(0, 4, 6) = 9;
  fixture.Close();
  TForm2& form = fixture.Start();
  QCOMPARE(form.document().store().Cell(0, 4, 6), 9);
  QCOMPARE(form.document().store().Cell(0, 3, 2), 5);
}

void WindowLifecycleTest::unwritableSettingsAreReportedAndPatternsStillSaved() {
  WindowFixture fixture;
  QVERIFY(QDir(fixture.Path("")).mkdir(QStringLiteral("Config.ini")));  // no file can go there
  TForm2& form = fixture.Start();
  form.document().store().Cell(0, 4, 3) = 1;
  form.close();
  QCOMPARE(form.closeExitCode(), -1);
  QVERIFY2(fixture.messages.last().text.startsWith(QStringLiteral("保存config.ini失敗!")),
           qPrintable(fixture.messages.last().text));
  QVERIFY(fixture.messages.last().text.contains(QStringLiteral("Config.ini")));
  QVERIFY(fixture.ReadFile("tempRGB.bin").size() > 600);
}

void WindowLifecycleTest::hostileResumeFileIsReportedOnceAndLeavesFreshAreas() {
  WindowFixture fixture;
  fixture.WriteFile("tempRGB.bin", QByteArray(40, '\xff'));  // headers announcing far more
  TForm2& form = fixture.Start();
  QCOMPARE(fixture.messages.size(), 1);
  QVERIFY2(fixture.messages[0].text.contains(QStringLiteral("tempRGB.bin")),
           qPrintable(fixture.messages[0].text));
  for (int area = 0; area < kAreaCount; ++area) {
    QCOMPARE(form.document().store().playSettings[area].loopMode, LOOP_FOREVER);
    QCOMPARE(form.document().store().defaultTime[area][0].value, 1000);
  }
  QCOMPARE(form.document().store().Cell(0, 3, 2), 0);
  // Its bytes are kept beside it, under the name the message gives, before
  // the close writes the fresh areas.
  const QStringList kept =
      QDir(fixture.Path("")).entryList({QStringLiteral("tempRGB.bin.refused-*")}, QDir::Files);
  QCOMPARE(kept.size(), 1);
  QVERIFY2(fixture.messages[0].text.contains(fixture.Path(qPrintable(kept[0]))),
           qPrintable(fixture.messages[0].text));
  fixture.Close();
  QCOMPARE(fixture.ReadFile(qPrintable(kept[0])), QByteArray(40, '\xff'));
  QCOMPARE(fixture.ReadFile("tempRGB.bin").size(), 600);
}

// Area 1 a VQ-M15 image of 3068 channels, areas 2 to 19 empty, area 20 cut
// 3 bytes short: areas 1 to 19 come back (area 1 with its first 1021
// channels), area 20 stays fresh, the message names both losses and the
// copy, and the next start finds what the close saved.
void WindowLifecycleTest::resumeFileReadInPartRestoresItsWholeAreasAndIsKept() {
  WindowFixture fixture;
  QByteArray wide("\x0B\xFC\x00\x01", 4);  // N 3068, F 1
  wide += QByteArray(26, '\0');
  wide += QByteArray("\x00\x64\x00", 3);  // 100 ms
  QByteArray cells(3068, '\0');
  cells[0] = 7;      // channel 1
  cells[1020] = 9;   // channel 1021
  cells[1021] = 11;  // channel 1022: left out
  const QByteArray empty(30, '\0');
  QByteArray file = wide + cells;
  for (int area = 1; area < 19; ++area) file += empty;
  file += QByteArray("\x00\x01\x00\x01", 4) + QByteArray(26, '\0') + QByteArray(1, '\0');
  fixture.WriteFile("tempRGB.bin", file);
  TForm2& form = fixture.Start();
  QCOMPARE(fixture.messages.size(), 1);
  const QString& text = fixture.messages[0].text;
  QVERIFY2(text.contains(QStringLiteral("areas 1 to 19 were read; area 20 was not")) &&
               text.contains(QStringLiteral("channels 1022 to 3068 were left out")),
           qPrintable(text));
  QCOMPARE(form.document().store().Cell(0, 3, 2), 7);
  QCOMPARE(form.document().store().Cell(0, 1023, 2), 9);
  QCOMPARE(form.document().store().frameTime[0].timeValue[2], 100);
  QCOMPARE(form.document().store().defaultTime[5][0].value,
           100);  // a restored empty area: the reader's 100
  QCOMPARE(form.document().store().defaultTime[19][0].value, 1000);  // area 20 stays fresh
  const QStringList kept =
      QDir(fixture.Path("")).entryList({QStringLiteral("tempRGB.bin.refused-*")}, QDir::Files);
  QCOMPARE(kept.size(), 1);
  QVERIFY(text.contains(kept[0]));
  QCOMPARE(fixture.ReadFile(qPrintable(kept[0])), file);
  fixture.Close();
  fixture.messages.clear();
  QCOMPARE(fixture.Start().document().store().Cell(0, 3, 2), 7);
  QVERIFY(fixture.messages.isEmpty());
}

// Config.ini and tempRGB.bin writable in a folder that takes no new file:
// both are rewritten in place, without a word.
void WindowLifecycleTest::savesGoInPlaceWhereNoTemporaryFileCanBeMade() {
  WindowFixture fixture;
  fixture.Start();
  fixture.Close();
  FailTemporaryFilesForTesting(EACCES);
  TForm2& form = fixture.Start();
  SelectModel(form, 5);
  form.document().store().Cell(0, 4, 3) = 66;
  fixture.Close();
  FailTemporaryFilesForTesting(0);
  QVERIFY(fixture.messages.isEmpty());
  QVERIFY(fixture.ReadFile("Config.ini").contains("HYTYPE=5"));
  QCOMPARE(QDir(fixture.Path("")).entryList(QDir::Files | QDir::Hidden),
           (QStringList{"Config.ini", "tempRGB.bin"}));
  QCOMPARE(fixture.Start().document().store().Cell(0, 4, 3), 66);
}

// Temporary files that killed saves of the two files left are removed when
// the window starts; a recent one (a save may be running) and those of other
// files stay.
void WindowLifecycleTest::temporaryFilesOfKilledSavesAreRemovedAtStart() {
  WindowFixture fixture;
  const char* stale[] = {".tempRGB.bin.vqled-a1B2c3", ".Config.ini.vqled-Zz9Yy8", ".vqled-0ld123"};
  const char* kept[] = {".tempRGB.bin.vqled-N3wOne", ".show.Aled.vqled-a1B2c3"};
  const QDateTime old = QDateTime::currentDateTime().addSecs(-2 * kStaleTemporarySeconds);
  for (const char* name : stale) {
    fixture.WriteFile(name, QByteArray(100, 'x'));
    QFile file(fixture.Path(name));
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(old, QFileDevice::FileModificationTime));
  }
  for (const char* name : kept) fixture.WriteFile(name, QByteArray(100, 'x'));
  fixture.Start();
  for (const char* name : stale) QVERIFY2(!QFile::exists(fixture.Path(name)), name);
  for (const char* name : kept) QVERIFY2(QFile::exists(fixture.Path(name)), name);
}

void WindowLifecycleTest::sigtermClosesAndSaves() {
  WindowFixture fixture;
  TForm2& form = fixture.Start();
  const SignalClose closeOnSignal(&form);
  std::raise(SIGTERM);
  QTRY_VERIFY(!form.isVisible());
  QVERIFY(QFile::exists(fixture.Path("Config.ini")));
  QCOMPARE(fixture.ReadFile("tempRGB.bin").size(), 600);
}

// HYTYPE is written before the model list is put back on item 0, Type after.
void WindowLifecycleTest::noModelSelectedIsSavedAsHytypeMinusOneAndTypeZero() {
  WindowFixture fixture;
  TForm2& form = fixture.Start();
  Ui::TForm2& ui = fixture.ui();
  SelectModel(form, 7);
  ui.ComboBox6->setCurrentIndex(-1);
  form.close();
  QCOMPARE(ui.ComboBox6->currentIndex(), 0);
  QCOMPARE(form.document().profile().modelIndex, 7);  // put back without running its change
  const QByteArray config = fixture.ReadFile("Config.ini");
  QVERIFY2(config.contains("HYTYPE=-1") && config.contains("Type=0"), config.constData());
}

void WindowLifecycleTest::anyLanguageValueButZeroSelectsEnglish() {
  WindowFixture fixture;
  fixture.WriteFile("Config.ini", "[Config]\nLanguages=2\n");
  TForm2& form = fixture.Start();
  QVERIFY(fixture.messages.isEmpty());
  QCOMPARE(form.languageMode.textVariant, 1);
  QCOMPARE(form.languageMode.savedLanguage, 1);  // the English switch stores 1
  QCOMPARE(fixture.ui().BitBtn3->text(), QStringLiteral("Clear all"));
}

void WindowLifecycleTest::conversionErrorIsShownAndStoresNothing() {
  WindowFixture fixture;
  fixture.Start();
  Ui::TForm2& ui = fixture.ui();
  QTest::keyClicks(ui.Edit6, QStringLiteral("7"));
  QCOMPARE(fixture.form().document().store().playSettings[0].loopCount, 7);
  ui.Edit6->selectAll();
  QTest::keyClick(ui.Edit6, Qt::Key_Backspace);
  QCOMPARE(fixture.messages.size(), 1);
  QCOMPARE(fixture.messages[0].text, QStringLiteral("“”不是有效的整数值"));
  QCOMPARE(fixture.form().document().store().playSettings[0].loopCount, 7);
  QVERIFY(fixture.form().isVisible());  // the program goes on
}

void WindowLifecycleTest::numberFieldsTakeDigitsOnly() {
  WindowFixture fixture;
  fixture.Start();
  Ui::TForm2& ui = fixture.ui();
  ui.Edit6->clear();
  fixture.messages.clear();
  QTest::keyClicks(ui.Edit6, QStringLiteral("1a-2"));
  QCOMPARE(ui.Edit6->text(), QStringLiteral("12"));
  ui.Edit6->insert(QStringLiteral("x9"));  // pasted text meets the validator
  QCOMPARE(ui.Edit6->text(), QStringLiteral("12"));
  ui.time3->lineEdit()->selectAll();
  QTest::keyClicks(ui.time3->lineEdit(), QStringLiteral("4b5"));
  QCOMPARE(ui.time3->currentText(), QStringLiteral("45"));
  QCOMPARE(fixture.form().document().store().defaultTime[0][2].value, 45);
}

QTEST_MAIN(WindowLifecycleTest)
#include "window_lifecycle_test.moc"
