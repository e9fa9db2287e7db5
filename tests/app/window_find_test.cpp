// The port list over a folder of links (VQLED_PORT_DIR): it follows
// pseudo-terminals linked in and out, keeping the selection that stays, and
// "Find" probes the ports without blocking the window, then selects the port
// a virtual controller answered on.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "link_folder.h"
#include "sim/sim_controller.h"
#include "window_fixture.h"

using namespace vqled;

class WindowFindTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    folder_ = std::make_unique<test::LinkFolder>("window-find");
    folder_->Make();
    qputenv(PortListVariable(), QByteArray::fromStdString(folder_->Folder()));
  }
  void cleanup() {
    qunsetenv(PortListVariable());
    folder_.reset();
  }

  void portListFollowsPlugAndUnplugKeepingTheSelection();
  void findSelectsThePortAControllerAnsweredOn();
  void findWaitsWhileADownloadHoldsThePortList();

 private:
  static const char* PortListVariable() { return "VQLED_PORT_DIR"; }
  std::unique_ptr<test::LinkFolder> folder_;
};

namespace {

// A port change shows within the folder's rescan; this is far beyond it.
constexpr int kChangeTimeoutMs = 5000;

QStringList Items(const QComboBox* box) {
  QStringList items;
  for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
  return items;
}

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

QPushButton* FindButton(TForm2& form) {
  return form.findChild<QPushButton*>(QStringLiteral("BitBtnFind"));
}

}  // namespace

void WindowFindTest::portListFollowsPlugAndUnplugKeepingTheSelection() {
  test::Pty first, second;
  folder_->Plug("usb-a", first);
  WindowFixture fixture;
  fixture.Start();
  QComboBox* ports = fixture.ui().ComboBox5;
  QCOMPARE(Items(ports).first(), Q(first.SlavePath()));
  ports->setCurrentIndex(0);  // Config.ini's port text shows first

  folder_->Plug("usb-b", second);
  QTRY_VERIFY_WITH_TIMEOUT(Items(ports).contains(Q(second.SlavePath())), kChangeTimeoutMs);
  QCOMPARE(ports->currentText(), Q(first.SlavePath()));
  QVERIFY(Items(ports).contains(Q(folder_->Link("usb-b"))));  // its stable name too

  // The second port is chosen; pulling the first keeps it.
  ports->setCurrentIndex(ports->findText(Q(second.SlavePath())));
  folder_->Unplug("usb-a");
  QTRY_VERIFY_WITH_TIMEOUT(!Items(ports).contains(Q(first.SlavePath())), kChangeTimeoutMs);
  QCOMPARE(ports->currentText(), Q(second.SlavePath()));

  // A port the user typed stays through a change.
  QLineEdit* edit = ports->lineEdit();
  QTest::mouseClick(edit, Qt::LeftButton);
  QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(edit, QStringLiteral("/dev/ttyUSB9"));
  folder_->Plug("usb-a", first);
  QTRY_VERIFY_WITH_TIMEOUT(Items(ports).contains(Q(first.SlavePath())), kChangeTimeoutMs);
  QCOMPARE(ports->currentText(), QStringLiteral("/dev/ttyUSB9"));

  // The selected port goes: the first port takes its place.
  ports->setCurrentIndex(ports->findText(Q(second.SlavePath())));
  second.CloseMaster();
  QTRY_VERIFY_WITH_TIMEOUT(!Items(ports).contains(Q(second.SlavePath())), kChangeTimeoutMs);
  QCOMPARE(ports->currentText(), Q(first.SlavePath()));
}

void WindowFindTest::findSelectsThePortAControllerAnsweredOn() {
  test::Pty silent;
  folder_->Plug("usb-a-silent", silent);
  WindowFixture fixture;
  TForm2& form = fixture.Start();
  Ui::TForm2& ui = fixture.ui();
  SelectModel(form, 7);
  SimOptions options;
  options.profile = CatalogueProfile(7);
  SimController controller(options);
  folder_->Plug("usb-b-controller", controller.Start());
  QTRY_VERIFY_WITH_TIMEOUT(Items(ui.ComboBox5).contains(Q(controller.DevicePath())),
                           kChangeTimeoutMs);

  QPushButton* find = FindButton(form);
  QVERIFY(find != nullptr);
  QCOMPARE(find->text(), QStringLiteral("查找"));
  QTest::mouseClick(find, Qt::LeftButton);
  // The search runs while the window goes on; the button waits for it.
  QVERIFY(!find->isEnabled());
  QCOMPARE(ui.Label13->text(), QStringLiteral("正在查找控制器…"));
  QTRY_VERIFY_WITH_TIMEOUT(find->isEnabled(), kChangeTimeoutMs);
  QCOMPARE(
      ui.Label13->text(),
      QStringLiteral("找到控制器：串口 %1 上有控制器（应答 8F）").arg(Q(controller.DevicePath())));
  QCOMPARE(ui.ComboBox5->currentText(), Q(controller.DevicePath()));
  QVERIFY(ui.Memo1->toPlainText().contains(Q(silent.SlavePath() + " 在 2000 毫秒内没有应答")));
  QCOMPARE(silent.Receive(64, 100), (std::vector<uint8_t>{0xAA, 0xCC, 0x02, 0x7F, 0x00, 0x55}));
  QCOMPARE(controller.Stats().frames, 1);  // the probe, nothing after it

  // In English, and with no controller left to answer.
  ui.BitBtn13->click();
  QCOMPARE(find->text(), QStringLiteral("Find"));
  folder_->Unplug("usb-b-controller");
  QTRY_VERIFY_WITH_TIMEOUT(!Items(ui.ComboBox5).contains(Q(controller.DevicePath())),
                           kChangeTimeoutMs);
  QTest::mouseClick(find, Qt::LeftButton);
  QTRY_VERIFY_WITH_TIMEOUT(find->isEnabled(), kChangeTimeoutMs);
  QCOMPARE(ui.Label13->text(), QStringLiteral("No controller answered (1 serial port searched)"));
  QCOMPARE(ui.ComboBox5->currentText(), Q(silent.SlavePath()));
}

void WindowFindTest::findWaitsWhileADownloadHoldsThePortList() {
  test::Pty silent;
  folder_->Plug("usb-a-silent", silent);
  WindowFixture fixture;
  TForm2& form = fixture.Start();
  Ui::TForm2& ui = fixture.ui();
  SelectModel(form, 7);
  ui.ComboBox5->setCurrentIndex(ui.ComboBox5->findText(Q(silent.SlavePath())));
  QPushButton* find = FindButton(form);
  QTest::mouseClick(ui.BitBtn7, Qt::LeftButton);
  QVERIFY(!ui.ComboBox5->isEnabled());
  QVERIFY(!find->isEnabled());
  QTest::mouseClick(find, Qt::LeftButton);
  QVERIFY(ui.Label13->text() != QStringLiteral("正在查找控制器…"));
}

QTEST_MAIN(WindowFindTest)
#include "window_find_test.moc"
