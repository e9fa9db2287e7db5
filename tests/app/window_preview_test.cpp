// The preview on the lamps of Panel1, stepped by calling Timer3's handler:
// which frame shows at which tick, each frame's own time, the wrap over
// column 1, the stop, and the shade of a lamp.
#include <QLabel>
#include <QTimer>

#include "editor/cell_painter.h"
#include "shape.h"
#include "window_fixture.h"

using namespace vqled;

namespace {

QColor Shade(int index) {
  const Rgb& colour = brightnessShades[index];
  return QColor(colour.red, colour.green, colour.blue);
}

// Frames 1..3 each light one channel: frame f lights channel f.
void LightThreeFrames(PatternStore& store) {
  for (int frame = 1; frame <= 3; ++frame) store.Cell(0, kHeaderRows + frame - 1, frame + 1) = 255;
}

// The frame the lamps show: f when only channel f is lit, 0 otherwise.
int ShownFrame(TForm2& form) {
  int shown = 0;
  for (int k = 0; k < kPreviewLamps; ++k) {
    if (form.previewLamp(k)->brushColor() == Shade(15)) {
      if (shown != 0) return 0;
      shown = k + 1;
    }
  }
  return shown;
}

// Runs Timer3's handler until the shown frame changes; the number of ticks.
int TicksUntilNextFrame(TForm2& form, int limit = 2000) {
  const int before = ShownFrame(form);
  for (int tick = 1; tick <= limit; ++tick) {
    form.Timer3Timer();
    if (ShownFrame(form) != before) return tick;
  }
  return -1;
}

QTimer* Timer3(TForm2& form) {
  return form.findChild<QTimer*>(QStringLiteral("Timer3"));
}

}  // namespace

class WindowPreviewTest : public QObject {
  Q_OBJECT

 private slots:
  void panelCarriesLampsNumbersAndBoards();
  void emptyAreaDoesNotStart();
  void framesFollowEachOtherAndWrapOverColumnOne();
  void frameTimes_data();
  void frameTimes();
  void stopKeepsTheLampsAndShadesFollowTheValue();
};

void WindowPreviewTest::panelCarriesLampsNumbersAndBoards() {
  WindowFixture fixture;
  fixture.Start();
  QWidget* panel = fixture.ui().Panel1;
  QCOMPARE(panel->findChildren<Shape*>().size(), kPreviewLamps);
  QStringList texts;
  for (QLabel* label : panel->findChildren<QLabel*>()) texts.append(label->text());
  for (const char* board : {"控制板", "扩展板1", "扩展板2", "扩展板3", "扩展板4", "扩展板5"})
    QCOMPARE(texts.count(QString::fromUtf8(board)), 1);
  for (int number = 1; number <= 12; ++number) QCOMPARE(texts.count(QString::number(number)), 6);
  QCOMPARE(panel->height(), 36);  // only the first row of lamps in sight
  QCOMPARE(fixture.form().previewLamp(35)->geometry(), QRect(891, 4, 16, 16));
  QCOMPARE(fixture.form().previewLamp(36)->geometry(), QRect(16, 60, 16, 16));
  for (QLabel* label : panel->findChildren<QLabel*>()) {
    QVERIFY(label->geometry().top() >= 36);
    for (int k = 36; k < kPreviewLamps; ++k)
      QVERIFY(!label->geometry().intersects(fixture.form().previewLamp(k)->geometry()));
  }
}

void WindowPreviewTest::emptyAreaDoesNotStart() {
  WindowFixture fixture;
  TForm2& form = fixture.Start();
  fixture.ui().BitBtn1->click();
  QVERIFY(!Timer3(form)->isActive());
}

// Default time 1 of area 1 is 1000 ms: frame 1 at the first tick, the next
// frames 10 ticks apart, then column 1's time (default time 1) before frame 1.
void WindowPreviewTest::framesFollowEachOtherAndWrapOverColumnOne() {
  WindowFixture fixture;
  TForm2& form = fixture.Start();
  LightThreeFrames(form.document().store());
  fixture.ui().BitBtn1->click();
  QVERIFY(Timer3(form)->isActive());
  QCOMPARE(Timer3(form)->interval(), 100);
  QCOMPARE(TicksUntilNextFrame(form), 1);
  QCOMPARE(ShownFrame(form), 1);
  for (int frame : {2, 3, 1, 2}) {
    QCOMPARE(TicksUntilNextFrame(form), 10);
    QCOMPARE(ShownFrame(form), frame);
  }
}

void WindowPreviewTest::frameTimes_data() {
  QTest::addColumn<int>("timeType");
  QTest::addColumn<int>("timeValue");
  QTest::addColumn<int>("ticks");
  QTest::newRow("250 ms") << int(FRAME_TIME_MS) << 250 << 2;
  QTest::newRow("50 ms") << int(FRAME_TIME_MS) << 50 << 1;
  QTest::newRow("2 s") << int(FRAME_TIME_S) << 2 << 20;
  QTest::newRow("0 s") << int(FRAME_TIME_S) << 0 << 1;
  QTest::newRow("1 min") << int(FRAME_TIME_MIN) << 1 << 600;
  QTest::newRow("default time 3 of 3 s") << int(FRAME_TIME_DEFAULT) << 3 << 30;
}

// Frame 1's time decides how long it shows before frame 2.
void WindowPreviewTest::frameTimes() {
  QFETCH(int, timeType);
  QFETCH(int, timeValue);
  QFETCH(int, ticks);
  WindowFixture fixture;
  TForm2& form = fixture.Start();
  LightThreeFrames(form.document().store());
  form.document().store().defaultTime[0][2] = {3, TIME_UNIT_S};
  form.document().store().frameTime[0].timeType[2] = timeType;
  form.document().store().frameTime[0].timeValue[2] = timeValue;
  form.BitBtn1Click();
  QCOMPARE(TicksUntilNextFrame(form), 1);
  QCOMPARE(TicksUntilNextFrame(form), ticks);
  QCOMPARE(ShownFrame(form), 2);
}

void WindowPreviewTest::stopKeepsTheLampsAndShadesFollowTheValue() {
  WindowFixture fixture;
  TForm2& form = fixture.Start();
  form.document().store().Cell(0, kHeaderRows + 4, 2) = 200;
  form.document().store().Cell(0, kHeaderRows + 5, 2) = 2;
  form.BitBtn1Click();
  form.Timer3Timer();
  QCOMPARE(form.previewLamp(4)->brushColor(), Shade(12));
  QCOMPARE(form.previewLamp(5)->brushColor(), Shade(1));
  QCOMPARE(form.previewLamp(0)->brushColor(), Shade(0));
  form.BitBtn1Click();
  QVERIFY(!Timer3(form)->isActive());
  QCOMPARE(form.previewLamp(4)->brushColor(), Shade(12));
  // A new start begins at frame 1 again.
  form.document().store().Cell(0, kHeaderRows + 4, 2) = 0;
  form.BitBtn1Click();
  QVERIFY(Timer3(form)->isActive());
  form.Timer3Timer();
  QCOMPARE(form.previewLamp(4)->brushColor(), Shade(0));
}

QTEST_MAIN(WindowPreviewTest)
#include "window_preview_test.moc"
