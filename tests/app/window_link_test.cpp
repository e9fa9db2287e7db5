// The window as the host of the controller link: a download with the debug
// box ticked writes send.bin and gives the controls back; a download to a
// port that does not exist, or whose number is out of range, is reported
// and ends with the window usable; a loop count that is no number stops the
// press after the status line; the link timers keep precise time.
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <QtTest>

#include "serial_pty.h"
#include "shape.h"
#include "window_fixture.h"

using namespace vqled;

class WindowLinkTest : public QObject {
  Q_OBJECT

 private slots:
  void debugBoxWritesTheImageInsteadOfSending();
  void missingPortIsReportedAndTheControlsComeBack();
  void portNumberOutOfRangeIsNamedAsTyped();
  void loopCountThatIsNoNumberStopsAfterTheStatusLine();
  void linkTimersArePreciseAndTheFirstProbeComesOneSecondAfterThePress();
};

namespace {

// Replaces a line edit's text as the user does: select all, then type.
void TypeInto(QLineEdit* edit, const QString& text) {
  QTest::mouseClick(edit, Qt::LeftButton);
  QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(edit, Qt::Key_Backspace);
  QTest::keyClicks(edit, text);
}

}  // namespace

void WindowLinkTest::debugBoxWritesTheImageInsteadOfSending() {
  WindowFixture fixture;
  TForm2& form = fixture.Start();
  Ui::TForm2& ui = fixture.ui();
  SelectModel(form, 13);
  form.document().store().Cell(0, 3, 2) = 99;
  test::Pty controller;  // the port is opened before the image is written
  ui.ComboBox5->setEditText(QString::fromStdString(controller.SlavePath()));
  ui.CheckBox4->setChecked(true);
  ui.BitBtn7->click();
  QVERIFY(fixture.ReadFile("send.bin").size() > 30);
  QVERIFY(ui.BitBtn7->isEnabled());
  QVERIFY(ui.GroupBox5->isEnabled() && form.grid()->isEnabled() && ui.GroupBox3->isEnabled());
  QCOMPARE(ui.Shape1->brushColor(), QColor(Qt::white));
}

void WindowLinkTest::missingPortIsReportedAndTheControlsComeBack() {
  WindowFixture fixture;
  TForm2& form = fixture.Start();
  Ui::TForm2& ui = fixture.ui();
  SelectModel(form, 13);
  form.document().store().Cell(0, 3, 2) = 99;
  ui.ComboBox5->setEditText(fixture.Path("no-such-tty"));
  ui.BitBtn7->click();
  QTRY_VERIFY_WITH_TIMEOUT(!fixture.messages.isEmpty(), 5000);
  QTRY_VERIFY_WITH_TIMEOUT(ui.BitBtn7->isEnabled() && ui.GroupBox5->isEnabled(), 5000);
  QVERIFY(form.grid()->isEnabled());
}

// "COM99999" is cut to 1025 inside the port layer; the user is told about
// the port as typed.
void WindowLinkTest::portNumberOutOfRangeIsNamedAsTyped() {
  WindowFixture fixture;
  TForm2& form = fixture.Start();
  Ui::TForm2& ui = fixture.ui();
  SelectModel(form, 13);
  TypeInto(ui.ComboBox5->lineEdit(), QStringLiteral("COM99999"));
  QTest::mouseClick(ui.BitBtn7, Qt::LeftButton);
  QCOMPARE(fixture.messages.size(), 1);
  const QString text = fixture.messages[0].text;
  QVERIFY2(text.contains(QStringLiteral("串口 COM99999 无效")), qPrintable(text));
  QVERIFY2(!text.contains(QStringLiteral("1025")), qPrintable(text));
  QCOMPARE(ui.Memo1->toPlainText(), QStringLiteral("COM99999"));
  QVERIFY(ui.BitBtn7->isEnabled() && ui.GroupBox5->isEnabled() && form.grid()->isEnabled());
}

void WindowLinkTest::loopCountThatIsNoNumberStopsAfterTheStatusLine() {
  WindowFixture fixture;
  TForm2& form = fixture.Start();
  Ui::TForm2& ui = fixture.ui();
  SelectModel(form, 13);
  ui.Label13->setText(QStringLiteral("before"));
  TypeInto(ui.Edit6, QString());  // Edit6's own handler may already complain
  const qsizetype shown = fixture.messages.size();
  QTest::mouseClick(ui.BitBtn7, Qt::LeftButton);
  QCOMPARE(ui.Label13->text(), QStringLiteral("當前區發送"));
  QCOMPARE(fixture.messages.size(), shown + 1);  // the conversion error
  QVERIFY(ui.Memo1->toPlainText().isEmpty());    // no port was opened
  QVERIFY(!form.findChild<QTimer*>(QStringLiteral("Timer1"))->isActive());
  QVERIFY(ui.BitBtn7->isEnabled() && ui.GroupBox5->isEnabled() && form.grid()->isEnabled());
}

// The first probe goes out one interval after the press: never before it (a
// coarse timer may fire up to 5 % early); the measured delay is printed.
void WindowLinkTest::linkTimersArePreciseAndTheFirstProbeComesOneSecondAfterThePress() {
  WindowFixture fixture;
  TForm2& form = fixture.Start();
  Ui::TForm2& ui = fixture.ui();
  SelectModel(form, 13);
  QTimer* timer1 = form.findChild<QTimer*>(QStringLiteral("Timer1"));
  QTimer* timer5 = form.findChild<QTimer*>(QStringLiteral("Timer5"));
  QCOMPARE(timer1->timerType(), Qt::PreciseTimer);
  QCOMPARE(timer5->timerType(), Qt::PreciseTimer);

  ui.ComboBox5->setCurrentIndex(ui.ComboBox5->findData(QStringLiteral("virtual")));
  QElapsedTimer sincePress;
  qint64 firstProbeMs = -1;
  QObject::connect(timer1, &QTimer::timeout, &form, [&] {
    if (firstProbeMs < 0) firstProbeMs = sincePress.elapsed();
  });
  sincePress.start();
  QTest::mouseClick(ui.BitBtn7, Qt::LeftButton);
  QVERIFY(timer1->isActive());
  QCOMPARE(timer1->interval(), 1000);
  QTRY_VERIFY_WITH_TIMEOUT(firstProbeMs >= 0, 5000);
  qInfo("first probe %lld ms after the press", static_cast<long long>(firstProbeMs));
  QVERIFY2(firstProbeMs >= 1000, qPrintable(QString::number(firstProbeMs)));
  QVERIFY2(firstProbeMs < 2000, qPrintable(QString::number(firstProbeMs)));
  // The controller answered that probe: the watchdog runs, precise as well.
  QTRY_VERIFY_WITH_TIMEOUT(ui.Label13->text() == QStringLiteral("Send OK !!!!"), 10000);
}

QTEST_MAIN(WindowLinkTest)
#include "window_link_test.moc"
