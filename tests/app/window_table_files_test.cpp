// The current area as CSV and PNG through the menu button TableBtn: export,
// import back after clearing, and malformed or oversized files refused with a
// message naming the file and the place, the area unchanged.
#include <QAction>
#include <QPushButton>

#include "file_dialog.h"
#include "window_fixture.h"

using namespace vqled;

class WindowTableFilesTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void csvAndPngRoundTripThroughTheArea();
  void malformedFilesAreRefusedAndChangeNothing();
  void captionsInEveryLanguage();

 private:
  void Answer(const QString& path) {
    SetFileDialogHook([path](QWidget*, const FileDialogRequest&) { return path; });
  }
  void Trigger(const char* item) {
    form_->findChild<QAction*>(QString::fromLatin1(item))->trigger();
  }
  int32_t& CellOf(int column, int row) const {
    return form_->document().store().Cell(0, row, column);
  }
  FrameTimes& Times() const { return form_->document().store().frameTime[0]; }

  std::unique_ptr<WindowFixture> fixture_;
  TForm2* form_ = nullptr;
};

void WindowTableFilesTest::init() {
  fixture_ = std::make_unique<WindowFixture>();
  form_ = &fixture_->Start();
  SelectModel(*form_, 13);  // VQ-M13: brightness cells, 16 channels, 370 frames
  form_->BitBtn13Click();   // English messages
  CellOf(2, 3) = 200;       // channel 1, frame 1
  CellOf(4, 18) = 17;       // channel 16, frame 3
  Times().timeValue[3] = 40;
  Times().timeType[3] = FRAME_TIME_MS;
}

void WindowTableFilesTest::cleanup() {
  SetFileDialogHook({});
  fixture_.reset();
}

void WindowTableFilesTest::csvAndPngRoundTripThroughTheArea() {
  Answer(fixture_->Path("area.csv"));
  Trigger("TableCsvOut");
  const QByteArray csv = fixture_->ReadFile("area.csv");
  QVERIFY2(csv.startsWith("d1,40ms,d1\n200,0,0\n0,0,0\n"), csv.constData());
  QVERIFY(csv.endsWith("\n0,0,17\n"));
  QCOMPARE(csv.count('\n'), 17);

  Answer(fixture_->Path("area.png"));
  Trigger("TablePngOut");
  QVERIFY(fixture_->ReadFile("area.png").startsWith("\x89PNG"));

  for (const char* item : {"TableCsvIn", "TablePngIn"}) {
    form_->findChild<QPushButton*>(QStringLiteral("BitBtn10"))->click();  // 清除当前
    QCOMPARE(CellOf(2, 3), 0);
    Answer(fixture_->Path(std::string(item) == "TableCsvIn" ? "area.csv" : "area.png"));
    Trigger(item);
    QCOMPARE(CellOf(2, 3), 200);
    QCOMPARE(CellOf(4, 18), 17);
    QCOMPARE(Times().timeValue[3], 40);
    QCOMPARE(Times().timeType[3], int32_t{FRAME_TIME_MS});
  }
  QVERIFY(fixture_->messages.isEmpty());

  // The import is one undo step, and so is the clear before it.
  QVERIFY(QTest::qWaitForWindowExposed(form_));
  form_->grid()->setFocus();
  QTest::keyClick(form_->grid(), Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(CellOf(2, 3), 0);
  QCOMPARE(Times().timeValue[3], 1);  // default time 1, as the clear left it
  QTest::keyClick(form_->grid(), Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(CellOf(2, 3), 200);
  QCOMPARE(Times().timeValue[3], 40);
}

void WindowTableFilesTest::malformedFilesAreRefusedAndChangeNothing() {
  QByteArray seventeen = "d1\n";
  for (int ch = 0; ch < 17; ++ch) seventeen += "1\n";
  const struct {
    const char* file;
    QByteArray bytes;
    const char* item;
    const char* message;
  } cases[] = {
      {"bad.csv", "d1,d1\n5,5\n5,-3\n", "TableCsvIn", "row 3, column 2: \"-3\""},
      {"ragged.csv", "d1,d1\n5,5\n5\n", "TableCsvIn", "row 3 has 1 columns"},
      {"tall.csv", seventeen, "TableCsvIn", "17 channels"},
      {"cut.png", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16), "TablePngIn",
       "cannot be read"},
  };
  for (const auto& c : cases) {
    fixture_->messages.clear();
    fixture_->WriteFile(c.file, c.bytes);
    Answer(fixture_->Path(c.file));
    Trigger(c.item);
    QCOMPARE(fixture_->messages.size(), 1);
    const QString text = fixture_->messages[0].text;
    QVERIFY2(
        text.contains(QString::fromLatin1(c.message)) && text.contains(QString::fromLatin1(c.file)),
        qPrintable(text));
    QCOMPARE(CellOf(2, 3), 200);
    QCOMPARE(CellOf(3, 3), 0);
    QCOMPARE(Times().timeValue[3], 40);
  }
}

void WindowTableFilesTest::captionsInEveryLanguage() {
  auto* button = form_->findChild<QPushButton*>(QStringLiteral("TableBtn"));
  QVERIFY(button->isVisible());
  QCOMPARE(button->text(), QStringLiteral("CSV/PNG"));
  QCOMPARE(form_->findChild<QAction*>(QStringLiteral("TablePngIn"))->text(),
           QStringLiteral("Import PNG into area"));
  form_->BitBtn12Click();
  QCOMPARE(button->text(), QStringLiteral("表格/图片"));
  form_->BitBtn11Click();
  QCOMPARE(form_->findChild<QAction*>(QStringLiteral("TableCsvOut"))->text(),
           QStringLiteral("當前區導出為 CSV"));
}

QTEST_MAIN(WindowTableFilesTest)
#include "window_table_files_test.moc"
