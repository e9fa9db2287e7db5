// The pattern file commands of the window, with the file dialogs answered by
// the test, and the preview on the lamps.
#include <QCoreApplication>
#include <QTimer>

#include "file_dialog.h"
#include "serial_pty.h"
#include "window_fixture.h"

using namespace vqled;

namespace {

// A small pattern on VQ-M05 with one controller (3 channels) in area 0:
// channel 1 lit 200 in frame 1 (300 ms), channel 3 lit 7 in frame 2 (default
// time 2). Every area's header fields are set by the test.
constexpr int kChannels = 3;

// The 30-byte canonical header of an area set up by SetUpPattern: channel
// count, frame count, the five default times, enabled, loop mode, loop count,
// end mode, the controller-type byte (2: RadioButton6) and five zero bytes.
QByteArray Header(int frames, int area) {
  const char bytes[30] = {0,          kChannels,
                          0,          char(frames),
                          0,          100,
                          0,  // 100 ms
                          0,          2,
                          1,  // 2 s
                          0,          3,
                          2,  // 3 min
                          0,          char(250),
                          0,          3,
                          char(0xE8), 0,
                          1,          2,
                          0,          char(area + 1),
                          0,          2};
  return QByteArray(bytes, sizeof bytes);
}

// Area 0's image: the header, then per frame the time value (2 bytes), the
// time type and the 3 channel bytes.
// Its loop count is 9, the count the test types into Edit6.
QByteArray AreaZeroImage() {
  QByteArray image = Header(2, 0);
  image[22] = char(9);
  image += QByteArray("\x01\x2C\x01\xC8\x00\x00", 6);  // 300, ms; 200, 0, 0
  image += QByteArray("\x00\x02\x00\x00\x00\x07", 6);  // 2, default time; 0, 0, 7
  return image;
}

void SetUpPattern(TForm2& form) {
  SelectModel(form, 5);
  Ui::TForm2& ui = *form.form();
  ui.ComboBox4->setCurrentIndex(0);
  form.ComboBox4Change();
  ui.RadioButton6->setChecked(true);
  for (int area = 0; area < kAreaCount; ++area) {
    const DefaultTime times[kDefaultTimeCount] = {{100, 0}, {2, 1}, {3, 2}, {250, 0}, {1000, 0}};
    for (int k = 0; k < kDefaultTimeCount; ++k)
      form.document().store().defaultTime[area][k] = times[k];
    form.document().store().playSettings[area] = {2, area + 1, 1,
                                                  0};  // loop mode, count, enabled, end
  }
  form.document().store().frameTime[0].timeValue[2] = 300;
  form.document().store().frameTime[0].timeType[2] = 1;
  form.document().store().frameTime[0].timeValue[3] = 2;
  form.document().store().frameTime[0].timeType[3] = 0;
  form.document().store().Cell(0, 3, 2) = 200;
  form.document().store().Cell(0, 5, 3) = 7;
}

}  // namespace

class WindowFilesTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void savingNothingIsRefusedAndCancelWritesNothing();
  void savesWriteTheirLayoutsUnderTheirExtension_data();
  void savesWriteTheirLayoutsUnderTheirExtension();
  void dialogsOpenBesideTheProgramAndKeepTheLastName();
  void dialogFiltersListEveryFileUnderAllFiles();
  void allAreasRoundTripThroughAnAledFile();
  void cutShortAledFileImportsItsWholeAreas();
  void currentAreaSaveCarriesModelAndCountAndImportsIntoTheShownArea();
  void refusedSingleAreaFileLeavesTheCurrentArea();
  void unwritableFolderIsReportedWithTheFile();
  void exportProposesItsNameOnVqM21();
  void fileCommandsAreRefusedWhileTheLinkSends();
  void previewLightsTheLampsOfTheFirstFrame();

 private:
  // Every dialog answers path (empty: cancelled) and is recorded.
  void Answer(const QString& path) {
    SetFileDialogHook([this, path](QWidget*, const FileDialogRequest& request) {
      requests_.append(request);
      return path;
    });
  }

  std::unique_ptr<WindowFixture> fixture_;
  TForm2* form_ = nullptr;
  Ui::TForm2* ui_ = nullptr;
  QList<FileDialogRequest> requests_;
};

void WindowFilesTest::init() {
  fixture_ = std::make_unique<WindowFixture>();
  form_ = &fixture_->Start();
  ui_ = form_->form();
  requests_.clear();
}

void WindowFilesTest::cleanup() {
  SetFileDialogHook({});
  fixture_.reset();
}

void WindowFilesTest::savingNothingIsRefusedAndCancelWritesNothing() {
  SelectModel(*form_, 4);  // the area buttons are enabled
  Answer(fixture_->Path("never"));
  ui_->BitBtn6->click();
  QCOMPARE(fixture_->messages.size(), 1);
  QCOMPARE(fixture_->messages[0].text, QStringLiteral("沒有花樣發送"));
  QCOMPARE(fixture_->messages[0].caption, QStringLiteral("沒有花樣"));
  ui_->BitBtn17->click();
  QCOMPARE(fixture_->messages[1].text, QStringLiteral("没有花样内容"));
  QCOMPARE(fixture_->messages[1].caption, QStringLiteral("保存出错"));
  ui_->BitBtn13->click();  // English: the save of all areas says so, the others stay Chinese
  ui_->BitBtn6->click();
  QCOMPARE(fixture_->messages[2].text, QStringLiteral("No Data"));
  ui_->BitBtn8->click();
  QCOMPARE(fixture_->messages[3].text, QStringLiteral("没有花样内容"));
  QVERIFY(requests_.isEmpty());

  form_->document().store().Cell(0, 3, 2) = 1;
  Answer(QString());
  QPushButton* const commands[] = {ui_->BitBtn6, ui_->BitBtn4, ui_->BitBtn8, ui_->BitBtn9,
                                   ui_->BitBtn17};
  for (QPushButton* command : commands) command->click();
  QCOMPARE(requests_.size(), 5);
  QCOMPARE(fixture_->messages.size(), 4);
  QCOMPARE(QDir(fixture_->Path("")).entryList(QDir::Files), QStringList());
  QCOMPARE(form_->document().store().Cell(0, 3, 2), 1);
}

void WindowFilesTest::savesWriteTheirLayoutsUnderTheirExtension_data() {
  QTest::addColumn<int>("command");
  QTest::addColumn<QString>("chosen");
  QTest::addColumn<QString>("written");
  QTest::addColumn<QString>("filter");
  QTest::addColumn<QByteArray>("bytes");

  QByteArray allAreas = AreaZeroImage();
  for (int area = 1; area < kAreaCount; ++area) allAreas += Header(0, area);
  const QByteArray led = QByteArray("\x05\x00", 2) + AreaZeroImage();
  const QString ledFilter = QStringLiteral("All files (*.*)|*.*|led files (*.led)|*.led");
  QTest::newRow("all areas") << 6 << "pattern.txt"
                             << "pattern.Aled"
                             << "All files (*.*)|*.*|led files (*.Aled)|*.Aled" << allAreas;
  QTest::newRow("current area") << 8 << "one"
                                << "one.led" << ledFilter << led;
  QTest::newRow("export") << 17 << "out.led"
                          << "out.VQD"
                          << "All files (*.*)|*.*|VQD files (*.VQD)|*.VQD" << AreaZeroImage();
}

void WindowFilesTest::savesWriteTheirLayoutsUnderTheirExtension() {
  QFETCH(int, command);
  QFETCH(QString, chosen);
  QFETCH(QString, written);
  QFETCH(QString, filter);
  QFETCH(QByteArray, bytes);
  SetUpPattern(*form_);
  ui_->Edit6->setText(QStringLiteral("9"));
  QPushButton* button = form_->findChild<QPushButton*>(QStringLiteral("BitBtn%1").arg(command));
  Answer(fixture_->Path(chosen.toLatin1().constData()));
  button->click();
  QVERIFY2(fixture_->messages.isEmpty(), qPrintable(fixture_->messages.value(0).text));
  QCOMPARE(requests_.size(), 1);
  QVERIFY(requests_[0].save);
  QCOMPARE(requests_[0].filter, filter);
  QCOMPARE(requests_[0].filterIndex, 2);
  QCOMPARE(fixture_->ReadFile(written.toLatin1().constData()).toHex(' '), bytes.toHex(' '));
  QVERIFY(!QFile::exists(fixture_->Path(chosen.toLatin1().constData())) || chosen == written);
  if (command == 6) {
    // Memo1: the last index and the first byte of each image written.
    QStringList log{"41", "0"};
    for (int area = 1; area < kAreaCount; ++area)
      log << "29"
          << "0";
    QCOMPARE(ui_->Memo1->toPlainText(), log.join(u'\n'));
  }
}

void WindowFilesTest::dialogsOpenBesideTheProgramAndKeepTheLastName() {
  // The folder beside the program is used only where it exists.
  const QDir program(QCoreApplication::applicationDirPath());
  const bool made = !program.exists(QStringLiteral("led")) && program.mkdir(QStringLiteral("led"));
  SelectModel(*form_, 5);  // the area buttons are enabled
  form_->document().store().Cell(0, 3, 2) = 1;
  Answer(QString());
  ui_->BitBtn8->click();  // ".led"
  ui_->BitBtn9->click();  // "led"
  if (made) program.rmdir(QStringLiteral("led"));
  QCOMPARE(requests_[0].directory, program.path());
  QCOMPARE(requests_[1].directory, program.filePath(QStringLiteral("led")));
  QVERIFY(!requests_[1].save);

  // SaveDialog1 and OpenDialog1 each propose the name they last held.
  QCOMPARE(requests_[0].fileName, QString());
  Answer(fixture_->Path("first.txt"));
  ui_->BitBtn6->click();
  ui_->BitBtn8->click();
  ui_->BitBtn17->click();
  Answer(fixture_->Path("first.Aled"));
  ui_->BitBtn4->click();
  ui_->BitBtn9->click();
  QCOMPARE(requests_[3].fileName, fixture_->Path("first.txt"));
  QCOMPARE(requests_[4].fileName, fixture_->Path("first.txt"));
  QCOMPARE(requests_[5].fileName, QString());
  QCOMPARE(requests_[6].fileName, fixture_->Path("first.Aled"));
}

void WindowFilesTest::dialogFiltersListEveryFileUnderAllFiles() {
  QCOMPARE(NameFilters(QStringLiteral("All files (*.*)|*.*|led files (*.Aled)|*.Aled")),
           (QStringList{"All files (*)", "led files (*.Aled)"}));
  QCOMPARE(NameFilters(QStringLiteral("VQD files (*.VQD)|*.VQD|odd")),
           QStringList{"VQD files (*.VQD)"});
}

void WindowFilesTest::allAreasRoundTripThroughAnAledFile() {
  SelectModel(*form_, 4);
  form_->document().store().Cell(6, 10, 20) = 255;
  Answer(fixture_->Path("show.txt"));
  ui_->BitBtn6->click();
  QVERIFY(fixture_->messages.isEmpty());
  QVERIFY(QFile::exists(fixture_->Path("show.Aled")));

  ui_->BitBtn3->click();
  QCOMPARE(form_->document().store().Cell(6, 10, 20), 0);
  Answer(fixture_->Path("show.Aled"));
  ui_->BitBtn4->click();
  QVERIFY(!requests_.last().save);
  QCOMPARE(requests_.last().filter,
           QStringLiteral("All files (*.*)|*.*|led files (*.Aled)|*.Aled"));
  QCOMPARE(form_->document().store().Cell(6, 10, 20), 255);

  fixture_->WriteFile("short.Aled", QByteArray("\x00\x01\x02", 3));
  Answer(fixture_->Path("short.Aled"));
  ui_->BitBtn4->click();  // refused, named, and nothing changes
  QCOMPARE(fixture_->messages.size(), 1);
  QVERIFY(fixture_->messages[0].text.contains(QStringLiteral("short.Aled")));
  QCOMPARE(form_->document().store().Cell(6, 10, 20), 255);
}

// An .Aled file cut inside area 3: areas 1 and 2 are imported, areas 3 to
// 20 keep what they held, and the message names them.
void WindowFilesTest::cutShortAledFileImportsItsWholeAreas() {
  SetUpPattern(*form_);
  form_->document().store().Cell(2, 3, 2) = 60;
  form_->document().store().playSettings[2].loopCount = 40;
  QByteArray file = AreaZeroImage() + Header(0, 1) + Header(1, 2).left(20);
  file[33] = char(99);  // area 1, channel 1 of frame 1
  fixture_->WriteFile("cut.Aled", file);
  form_->document().store().Cell(0, 3, 2) = 0;
  Answer(fixture_->Path("cut.Aled"));
  ui_->BitBtn4->click();
  QCOMPARE(fixture_->messages.size(), 1);
  QCOMPARE(fixture_->messages[0].text,
           QStringLiteral("文件 ") + fixture_->Path("cut.Aled") +
               QStringLiteral(" 只读入了一部分：读入了第 1–2 区；第 3–20 区未读入（第 3 "
                              "区的头部不完整（只剩 20 字节，需要 30 字节）），保持不变"));
  QCOMPARE(form_->document().store().Cell(0, 3, 2), 99);
  QCOMPARE(form_->document().store().playSettings[1].loopCount, 2);  // area 2's header
  QCOMPARE(form_->document().store().Cell(2, 3, 2), 60);             // area 3 kept
  QCOMPARE(form_->document().store().playSettings[2].loopCount, 40);
}

void WindowFilesTest::currentAreaSaveCarriesModelAndCountAndImportsIntoTheShownArea() {
  SelectModel(*form_, 5);
  ui_->ComboBox4->setCurrentIndex(2);
  form_->ComboBox4Change();
  form_->document().store().Cell(0, 4, 3) = 200;
  Answer(fixture_->Path("one"));
  ui_->BitBtn8->click();
  const QByteArray bytes = fixture_->ReadFile("one.led");
  QVERIFY(bytes.size() > 2 + 30);
  QCOMPARE(bytes[0], char(5));  // the model index
  QCOMPARE(bytes[1], char(2));  // the controller-count index

  SelectModel(*form_, 4);  // the stored model is not read back
  ui_->TabControl1->setCurrentIndex(3);
  form_->document().store().Cell(3, 9, 9) = 7;  // cleared by the import
  Answer(fixture_->Path("one.led"));
  ui_->BitBtn9->click();
  QCOMPARE(ui_->ComboBox6->currentIndex(), 4);
  QCOMPARE(form_->document().store().Cell(3, 4, 3), 200);
  QCOMPARE(form_->document().store().Cell(3, 9, 9), 0);

  ui_->Edit6->clear();  // a loop count that is no number leaves the old file
  fixture_->messages.clear();
  Answer(fixture_->Path("one"));
  ui_->BitBtn8->click();
  QCOMPARE(fixture_->ReadFile("one.led"), bytes);
  QVERIFY(!fixture_->messages.isEmpty());
}

void WindowFilesTest::refusedSingleAreaFileLeavesTheCurrentArea() {
  SelectModel(*form_, 5);
  form_->document().store().Cell(0, 4, 3) = 200;
  // Two index bytes and a header announcing 3 frames of 3 channels, cut short.
  QByteArray cut = QByteArray("\x05\x00", 2) + Header(3, 0);
  cut += QByteArray("\x00\x01\x01\x10", 4);
  fixture_->WriteFile("cut.led", cut);
  Answer(fixture_->Path("cut.led"));
  ui_->BitBtn9->click();
  QCOMPARE(fixture_->messages.size(), 1);
  QVERIFY(fixture_->messages[0].text.contains(fixture_->Path("cut.led")) ||
          fixture_->messages[0].text.contains(QStringLiteral("cut.led")));
  QCOMPARE(form_->document().store().Cell(0, 4, 3), 200);
  QCOMPARE(form_->document().store().Cell(0, 3, 2), 0);
}

void WindowFilesTest::unwritableFolderIsReportedWithTheFile() {
  SelectModel(*form_, 5);
  form_->document().store().Cell(0, 4, 3) = 200;
  fixture_->WriteFile("plain", QByteArray("x"));  // a file where a folder should be
  const QString inside = fixture_->Path("plain") + QStringLiteral("/show");
  SetFileDialogHook([inside](QWidget*, const FileDialogRequest&) { return inside; });
  const char* written[] = {"plain/show.Aled", "plain/show.led", "plain/show.VQD"};
  QPushButton* const commands[] = {ui_->BitBtn6, ui_->BitBtn8, ui_->BitBtn17};
  for (int i = 0; i < 3; ++i) {
    commands[i]->click();
    QCOMPARE(fixture_->messages.size(), i + 1);
    QVERIFY2(fixture_->messages[i].text.contains(fixture_->Path(written[i])),
             qPrintable(fixture_->messages[i].text));
  }
  QCOMPARE(fixture_->ReadFile("plain"), QByteArray("x"));
}

void WindowFilesTest::exportProposesItsNameOnVqM21() {
  SelectModel(*form_, 21);
  ui_->TabControl1->setCurrentIndex(1);
  form_->document().store().Cell(1, 3, 2) = 50;
  Answer(QString());
  ui_->BitBtn17->click();  // cancelled: the proposed name stays for the next save
  ui_->BitBtn6->click();
  QCOMPARE(requests_[0].fileName, QStringLiteral("EXP_2"));
  QCOMPARE(requests_[1].fileName, QStringLiteral("EXP_2"));
  Answer(fixture_->Path("EXP_2"));
  ui_->BitBtn17->click();
  QCOMPARE(requests_[2].filter, QStringLiteral("All files (*.*)|*.*|VQD files (*.VQD)|*.VQD"));
  QVERIFY(fixture_->ReadFile("EXP_2.VQD").size() >= 30);
}

void WindowFilesTest::fileCommandsAreRefusedWhileTheLinkSends() {
  SelectModel(*form_, 5);
  form_->document().store().Cell(0, 4, 3) = 200;
  fixture_->WriteFile("in.Aled", QByteArray(20 * 30, '\0'));
  Answer(fixture_->Path("in.Aled"));
  test::Pty controller;  // a controller that stays silent: the link keeps probing
  ui_->ComboBox5->setEditText(QString::fromStdString(controller.SlavePath()));
  ui_->BitBtn7->click();
  QVERIFY(!ui_->BitBtn7->isEnabled());
  QVERIFY(fixture_->messages.isEmpty());

  const struct {
    QPushButton* button;
    const char* named;
  } commands[] = {{ui_->BitBtn6, "全部区保存"},
                  {ui_->BitBtn4, "导入全区花样"},
                  {ui_->BitBtn8, "当前区保存"},
                  {ui_->BitBtn9, "导入单区花样"},
                  {ui_->BitBtn17, "生成花样文件"}};
  for (const auto& command : commands) {
    fixture_->messages.clear();
    command.button->click();
    QCOMPARE(fixture_->messages.size(), 1);
    const QString text = fixture_->messages[0].text;
    QVERIFY2(text.startsWith(QStringLiteral("正在经串口 ") +
                             QString::fromStdString(controller.SlavePath())),
             qPrintable(text));
    QVERIFY2(text.contains(QString::fromUtf8(command.named) + QStringLiteral("未执行")),
             qPrintable(text));
    QCOMPARE(fixture_->messages[0].caption, QStringLiteral("正在发送"));
  }
  ui_->BitBtn13->click();
  fixture_->messages.clear();
  ui_->BitBtn6->click();
  QVERIFY(fixture_->messages[0].text.startsWith(QStringLiteral("Saving all areas was refused")));
  QCOMPARE(fixture_->messages[0].caption, QStringLiteral("Sending"));
  QVERIFY(requests_.isEmpty());
  QCOMPARE(form_->document().store().Cell(0, 4, 3), 200);
  QCOMPARE(QDir(fixture_->Path("")).entryList(QDir::Files), QStringList{"in.Aled"});
}

void WindowFilesTest::previewLightsTheLampsOfTheFirstFrame() {
  SelectModel(*form_, 13);
  form_->document().store().Cell(0, 3, 2) = 255;  // channel 1, frame 1
  form_->document().store().Cell(0, 5, 3) = 20;   // channel 3, frame 2
  QTimer* timer = form_->findChild<QTimer*>(QStringLiteral("Timer3"));
  ui_->BitBtn1->click();
  QVERIFY(timer->isActive());
  QCOMPARE(timer->interval(), 100);
  // Frame 1 lights lamp 1 in the deepest red, frame 2 lamp 3 in the palest.
  bool firstFrame = false;
  bool secondFrame = false;
  for (int tick = 0; tick < 100 && !secondFrame; ++tick) {
    form_->Timer3Timer();
    firstFrame = firstFrame || form_->previewLamp(0)->brushColor() == QColor(255, 0, 0);
    secondFrame = form_->previewLamp(2)->brushColor() == QColor(255, 239, 239);
  }
  QVERIFY(firstFrame);
  QVERIFY(secondFrame);
  ui_->BitBtn1->click();
  QVERIFY(!timer->isActive());
}

QTEST_MAIN(WindowFilesTest)
#include "window_files_test.moc"
