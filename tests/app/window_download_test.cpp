// Downloads from the window to the built-in virtual controller over a
// pseudo-terminal: the busy state before, during and after a download of the
// current area and of all areas (with the area-of-areas label), the image the
// controller received, no controller and a controller that falls silent each
// giving the window back, the debug box, the port entry and the playback of
// the received pattern on the preview lamps. The probe timer is fired by the
// test as soon as it starts, so no run waits for its second.
#include <QDateTime>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "link_panel.h"
#include "shape.h"
#include "sim/virtual_controller.h"
#include "ui/preview_player.h"
#include "window_fixture.h"

using namespace vqled;

namespace {

constexpr int kModelVQM07 = 7;  // seven areas, canonical images
constexpr int kModelVQM13 = 13;

// A clock that stands still until the test moves it on, so that the reply
// watchdog sees time pass only when the test says so.
class AgedClock : public SystemLinkClock {
 public:
  int64_t NowSeconds() override { return startSeconds_ + skewSeconds; }
  int64_t skewSeconds = 0;

 private:
  const int64_t startSeconds_ = QDateTime::currentSecsSinceEpoch();
};

void Fire(QTimer* timer) {
  QVERIFY(QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection));
}

}  // namespace

class WindowDownloadTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void currentAreaDownloadShowsTheBusyStateAndDeliversTheImage();
  void allAreasDownloadCountsTheAreasAndFinishes();
  void noControllerGivesUpAfterElevenProbes();
  void silentControllerIsCaughtByTheWatchdog();
  void clockSettingsAndControllerTypeReachTheController();
  void debugBoxSendsNothingToTheController();
  void portListOffersTheEntryForTheSelectedModel();
  void virtualEntryIsKeptInTheSettings();
  void playbackShowsWhatTheControllerReceived();
  void playbackWithNothingReceivedIsRefused();

 private:
  // A window on the aged clock that notes the area-of-areas label each time
  // probing starts: however fast the controller answers, no start of Timer1
  // goes unseen.
  TForm2& Start(int model);
  void SelectVirtualEntry();
  // Runs the event loop until done() holds, firing Timer1 at once each time
  // it starts probing.
  bool RunUntil(const std::function<bool()>& done, int timeoutMs = 10000);
  void VerifyIdle();
  void VerifyBusy();

  std::unique_ptr<WindowFixture> fixture_;
  std::unique_ptr<AgedClock> clock_;
  QStringList labelsAtProbe_;
  std::unique_ptr<TForm2> form_;
};

void WindowDownloadTest::init() {
  fixture_ = std::make_unique<WindowFixture>();
}

void WindowDownloadTest::cleanup() {
  form_.reset();
  fixture_.reset();
}

TForm2& WindowDownloadTest::Start(int model) {
  clock_ = std::make_unique<AgedClock>();
  labelsAtProbe_.clear();
  form_ = std::make_unique<TForm2>();
  form_->linkPanel().SetClock(clock_.get());
  form_->linkPanel().SetProbeObserver([this] {
    labelsAtProbe_.append(form_->findChild<QLabel*>(QStringLiteral("areaOfAreasLabel"))->text());
  });
  form_->show();
  SelectModel(*form_, model);
  return *form_;
}

void WindowDownloadTest::SelectVirtualEntry() {
  QComboBox* ports = form_->form()->ComboBox5;
  const int index = ports->findData(QStringLiteral("virtual"));
  QVERIFY(index >= 0);
  ports->setCurrentIndex(index);
}

bool WindowDownloadTest::RunUntil(const std::function<bool()>& done, int timeoutMs) {
  QTimer* probe = form_->findChild<QTimer*>(QStringLiteral("Timer1"));
  QElapsedTimer clock;
  clock.start();
  qsizetype fired = 0;
  while (!done()) {
    if (clock.elapsed() > timeoutMs) return false;
    if (probe->isActive() && labelsAtProbe_.size() > fired) {
      fired = labelsAtProbe_.size();
      Fire(probe);
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  return true;
}

void WindowDownloadTest::VerifyIdle() {
  Ui::TForm2& ui = *form_->form();
  QVERIFY(ui.BitBtn7->isEnabled());
  QVERIFY(ui.ComboBox5->isEnabled());
  QVERIFY(ui.GroupBox5->isEnabled() && ui.GroupBox3->isEnabled() && form_->grid()->isEnabled());
  QCOMPARE(ui.Shape1->brushColor(), QColor(Qt::white));
  QCOMPARE(ui.cxProgressBar1->value(), 0);
  QVERIFY(!form_->findChild<QTimer*>(QStringLiteral("Timer1"))->isActive());
  QVERIFY(!form_->findChild<QTimer*>(QStringLiteral("Timer5"))->isActive());
}

void WindowDownloadTest::VerifyBusy() {
  Ui::TForm2& ui = *form_->form();
  QVERIFY(!ui.BitBtn7->isEnabled());
  QVERIFY(!ui.ComboBox5->isEnabled());
  QVERIFY(!ui.GroupBox5->isEnabled() && !ui.GroupBox3->isEnabled() && !form_->grid()->isEnabled());
  QCOMPARE(ui.Shape1->brushColor(), QColor(Qt::red));
  QVERIFY(form_->findChild<QTimer*>(QStringLiteral("Timer1"))->isActive());
}

void WindowDownloadTest::currentAreaDownloadShowsTheBusyStateAndDeliversTheImage() {
  TForm2& form = Start(kModelVQM13);
  Ui::TForm2& ui = *form.form();
  form.document().store().currentArea = 1;
  form.document().store().Cell(1, 3, 2) = 99;
  form.document().store().Cell(1, 5, 3) = 40;
  SelectVirtualEntry();
  VerifyIdle();

  ui.BitBtn7->click();
  VerifyBusy();
  QCOMPARE(ui.Label80->text(), QStringLiteral("1"));
  QCOMPARE(ui.Label13->text(), QStringLiteral("开始处理花样"));
  QCOMPARE(ui.cxProgressBar1->value(), 1);
  QVERIFY(form.findChild<QLabel*>(QStringLiteral("areaOfAreasLabel"))->text().isEmpty());

  QVERIFY(RunUntil([&] { return ui.Label13->text() == QStringLiteral("Send OK !!!!"); }));
  VerifyIdle();
  QVERIFY(fixture_->messages.isEmpty());
  QVERIFY(!ui.Memo1->toPlainText().isEmpty());
  QCOMPARE(labelsAtProbe_.size(), 1);

  const SimController* sim = form.virtualController().controller();
  QVERIFY(sim);
  QVERIFY(sim->WaitFor([](const SimStats& s) { return s.finishes >= 1; }, std::chrono::seconds(2)));
  const std::optional<SimImage> image = sim->Image(1);
  QVERIFY(image && image->complete);
  const int length = form.document().image().imageLast + 1;
  QVERIFY(length > 30);
  QVERIFY(static_cast<int>(image->bytes.size()) >= length);
  QCOMPARE(QByteArray(reinterpret_cast<const char*>(image->bytes.data()), length),
           QByteArray(reinterpret_cast<const char*>(form.document().image().entry), length));
  QVERIFY(!sim->Image(0));
}

void WindowDownloadTest::allAreasDownloadCountsTheAreasAndFinishes() {
  TForm2& form = Start(kModelVQM07);
  Ui::TForm2& ui = *form.form();
  for (int area = 0; area < 7; ++area) form.document().store().Cell(area, 3 + area, 2) = 100;
  SelectVirtualEntry();
  QVERIFY(ui.BitBtn5->isEnabled());

  QElapsedTimer clock;
  clock.start();
  ui.BitBtn5->click();
  VerifyBusy();
  QVERIFY(RunUntil([&] { return ui.Label13->text() == QStringLiteral("Send OK !!!!"); }));
  qInfo("all seven areas sent to the virtual controller in %lld ms (probes fired at once)",
        static_cast<long long>(clock.elapsed()));
  VerifyIdle();
  QVERIFY(fixture_->messages.isEmpty());
  QCOMPARE(labelsAtProbe_, QStringList({"1/7", "2/7", "3/7", "4/7", "5/7", "6/7", "7/7"}));
  QCOMPARE(ui.Label80->text(), QStringLiteral("6"));
  QVERIFY(form.findChild<QLabel*>(QStringLiteral("areaOfAreasLabel"))->text().isEmpty());

  const SimController* sim = form.virtualController().controller();
  QVERIFY(sim->WaitFor([](const SimStats& s) { return s.finishes >= 1; }, std::chrono::seconds(2)));
  const SimStats stats = sim->Stats();
  QCOMPARE(stats.imagesStored, 7);
  QCOMPARE(stats.finishes, 1);
  QCOMPARE(stats.errors, 0);
  for (int area = 0; area < 7; ++area) QVERIFY(sim->Image(area) && sim->Image(area)->complete);
}

void WindowDownloadTest::noControllerGivesUpAfterElevenProbes() {
  TForm2& form = Start(kModelVQM13);
  Ui::TForm2& ui = *form.form();
  form.document().store().Cell(0, 3, 2) = 99;
  SimFaults silent;
  silent.silent = true;
  form.virtualController().SetFaults(silent);
  SelectVirtualEntry();
  ui.BitBtn7->click();
  VerifyBusy();
  QTimer* probe = form.findChild<QTimer*>(QStringLiteral("Timer1"));
  for (int k = 1; k <= 10; ++k) {
    Fire(probe);
    QCOMPARE(ui.Label13->text(), QStringLiteral("超时开启%1").arg(k));
  }
  QVERIFY(fixture_->messages.isEmpty());
  VerifyBusy();
  Fire(probe);
  QCOMPARE(fixture_->messages.size(), 1);
  VerifyIdle();
  const SimController* sim = form.virtualController().controller();
  QVERIFY(sim->WaitFor([](const SimStats& s) { return s.frames >= 11; }, std::chrono::seconds(2)));
  QCOMPARE(sim->Stats().replies, 0);
}

void WindowDownloadTest::silentControllerIsCaughtByTheWatchdog() {
  TForm2& form = Start(kModelVQM13);
  Ui::TForm2& ui = *form.form();
  for (int column = 2; column < 300; ++column) form.document().store().Cell(0, 3, column) = 50;
  SimFaults faults;
  faults.silentAfterFrame = 2;  // the probe and the erase are answered, the first block is not
  form.virtualController().SetFaults(faults);
  SelectVirtualEntry();
  ui.BitBtn7->click();
  const SimController* sim = nullptr;
  QVERIFY(RunUntil([&] {
    sim = form.virtualController().controller();
    return sim && sim->Stats().frames >= 3;
  }));
  QTimer* watchdog = form.findChild<QTimer*>(QStringLiteral("Timer5"));
  QVERIFY(watchdog->isActive());
  Fire(watchdog);
  QVERIFY(!ui.BitBtn7->isEnabled());  // still within the watchdog's three seconds
  clock_->skewSeconds = 10;
  Fire(watchdog);
  QCOMPARE(ui.Label13->text(), QStringLiteral("send  timeout。Pls Re send！"));
  VerifyIdle();
}

void WindowDownloadTest::clockSettingsAndControllerTypeReachTheController() {
  TForm2& form = Start(kModelVQM13);
  Ui::TForm2& ui = *form.form();
  SelectVirtualEntry();
  struct Command {
    QPushButton* button;
    const char* status;
    std::function<bool(const SimReceived&)> received;
  } commands[] = {
      {ui.BitBtn18, "Syn Time Send OK !!!!", [](const SimReceived& r) { return r.hasClock; }},
      {ui.Button5, "Send OK !!!!",
       [](const SimReceived& r) { return r.settings && r.settings->complete; }},
      {ui.BitBtn16, "setup send ok ", [](const SimReceived& r) { return r.controllerType >= 0; }},
  };
  for (const Command& command : commands) {
    ui.Label13->clear();
    command.button->click();
    QVERIFY2(RunUntil([&] { return ui.Label13->text() == QLatin1String(command.status); }),
             command.status);
    const SimController* sim = form.virtualController().controller();
    QTRY_VERIFY_WITH_TIMEOUT(command.received(sim->Received()), 2000);
    QVERIFY(ui.BitBtn7->isEnabled() && ui.ComboBox5->isEnabled());
    QCOMPARE(ui.Shape1->brushColor(), QColor(Qt::white));
  }
  QVERIFY(fixture_->messages.isEmpty());
  QCOMPARE(form.virtualController().controller()->Stats().errors, 0);
}

void WindowDownloadTest::debugBoxSendsNothingToTheController() {
  TForm2& form = Start(kModelVQM13);
  Ui::TForm2& ui = *form.form();
  form.document().store().Cell(0, 3, 2) = 99;
  SelectVirtualEntry();
  ui.CheckBox4->setChecked(true);
  ui.BitBtn7->click();
  VerifyIdle();
  const QByteArray written = fixture_->ReadFile("send.bin");
  QCOMPARE(written.size(), form.document().image().imageLast + 1);
  QCOMPARE(written, QByteArray(reinterpret_cast<const char*>(form.document().image().entry),
                               written.size()));
  QTest::qWait(50);
  QCOMPARE(form.virtualController().controller()->Stats().frames, 0);
}

void WindowDownloadTest::portListOffersTheEntryForTheSelectedModel() {
  TForm2& form = Start(kModelVQM13);
  Ui::TForm2& ui = *form.form();
  ui.BitBtn2->click();
  const int index = ui.ComboBox5->findData(QStringLiteral("virtual"));
  QVERIFY(index >= 0);
  QCOMPARE(ui.ComboBox5->itemText(index), QStringLiteral("虚拟控制器 (VQ-M13)"));
  SelectVirtualEntry();
  // The entry reads whole in the port list's box.
  const QLineEdit* box = ui.ComboBox5->lineEdit();
  QVERIFY(box->fontMetrics().horizontalAdvance(ui.ComboBox5->currentText()) + 4 <= box->width());
  SelectModel(form, kModelVQM07);
  QCOMPARE(ui.ComboBox5->currentText(), QStringLiteral("虚拟控制器 (VQ-M07)"));
  ui.BitBtn13->click();
  QCOMPARE(ui.ComboBox5->currentText(), QStringLiteral("Virtual controller (VQ-M07)"));
  QVERIFY(VirtualController::IsEntry("Virtual controller (VQ-M20)"));
  QVERIFY(!VirtualController::IsEntry("/dev/ttyUSB0"));
}

void WindowDownloadTest::virtualEntryIsKeptInTheSettings() {
  {
    Start(kModelVQM13);
    SelectVirtualEntry();
    form_->close();
    form_.reset();
  }
  TForm2& form = Start(kModelVQM07);
  Ui::TForm2& ui = *form.form();
  QCOMPARE(ui.ComboBox5->currentText(), QStringLiteral("虚拟控制器 (VQ-M07)"));
  form.document().store().Cell(0, 3, 2) = 99;
  ui.BitBtn7->click();
  QVERIFY(RunUntil([&] { return ui.Label13->text() == QStringLiteral("Send OK !!!!"); }));
  QVERIFY(form.virtualController().controller()->Image(0));
}

void WindowDownloadTest::playbackShowsWhatTheControllerReceived() {
  TForm2& form = Start(kModelVQM13);
  Ui::TForm2& ui = *form.form();
  form.document().store().Cell(0, 3, 2) = 100;  // frame 1: channel 1 full
  form.document().store().Cell(0, 4, 3) = 100;  // frame 2: channel 2 full
  SelectVirtualEntry();
  ui.BitBtn7->click();
  QVERIFY(RunUntil([&] { return ui.Label13->text() == QStringLiteral("Send OK !!!!"); }));

  // The user's area changes after the download; the playback shows the controller's.
  form.document().store().Cell(0, 3, 2) = 0;
  form.document().store().Cell(0, 4, 3) = 0;
  form.document().store().Cell(0, 10, 2) = 100;
  QPushButton* playback = form.findChild<QPushButton*>(QStringLiteral("playbackButton"));
  playback->click();
  QVERIFY(fixture_->messages.isEmpty());
  QVERIFY(form.findChild<QTimer*>(QStringLiteral("playbackTimer"))->isActive());
  form.PlaybackTimer();  // the first frame shows at once
  const QColor full = form.previewLamp(0)->brushColor();
  QVERIFY(full != form.previewLamp(1)->brushColor());
  QCOMPARE(form.previewLamp(7)->brushColor(), form.previewLamp(1)->brushColor());
  for (int tick = 0; tick < 10; ++tick)
    form.PlaybackTimer();  // frame 1 lasts default time 1, 1000 ms
  QCOMPARE(form.previewLamp(1)->brushColor(), full);
  QVERIFY(form.previewLamp(0)->brushColor() != full);
  QCOMPARE(form.document().store().Cell(0, 10, 2), 100);
  QCOMPARE(form.document().store().Cell(0, 3, 2), 0);

  playback->click();
  QVERIFY(!form.findChild<QTimer*>(QStringLiteral("playbackTimer"))->isActive());
}

void WindowDownloadTest::playbackWithNothingReceivedIsRefused() {
  TForm2& form = Start(kModelVQM13);
  form.findChild<QPushButton*>(QStringLiteral("playbackButton"))->click();
  QCOMPARE(fixture_->messages.size(), 1);
  QCOMPARE(fixture_->messages[0].text, QStringLiteral("虚拟控制器还没有收到花样"));
  QVERIFY(!form.findChild<QTimer*>(QStringLiteral("playbackTimer"))->isActive());
}

QTEST_MAIN(WindowDownloadTest)
#include "window_download_test.moc"
