// The window as the host of the controller link: a download with the debug
// box ticked writes send.bin and gives the controls back; a download to a
// port that does not exist is reported and ends with the window usable.
#include <QPlainTextEdit>

#include "serial_pty.h"
#include "shape.h"
#include "window_fixture.h"

using namespace vqled;

class WindowLinkTest : public QObject {
  Q_OBJECT

 private slots:
  void debugBoxWritesTheImageInsteadOfSending();
  void missingPortIsReportedAndTheControlsComeBack();
};

void WindowLinkTest::debugBoxWritesTheImageInsteadOfSending() {
  WindowFixture fixture;
  TForm2& form = fixture.Start();
  Ui::TForm2& ui = fixture.ui();
  SelectModel(form, 13);
  form.store.Cell(0, 3, 2) = 99;
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
  form.store.Cell(0, 3, 2) = 99;
  ui.ComboBox5->setEditText(fixture.Path("no-such-tty"));
  ui.BitBtn7->click();
  QTRY_VERIFY_WITH_TIMEOUT(!fixture.messages.isEmpty(), 5000);
  QTRY_VERIFY_WITH_TIMEOUT(ui.BitBtn7->isEnabled() && ui.GroupBox5->isEnabled(), 5000);
  QVERIFY(form.grid()->isEnabled());
}

QTEST_MAIN(WindowLinkTest)
#include "window_link_test.moc"
