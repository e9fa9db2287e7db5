// TForm2 as the host of the controller link: the downloads ("当前区发送",
// "全区发送"), the settings, clock, end-date and controller-type commands, and
// every effect of a transaction on the window (status line, area label, last
// reply, Memo1, progress, link lamp, enabling, message boxes, Timer1 and
// Timer5). The serial port's watch thread only posts a queued call; all link
// logic runs on the user-interface thread.
#include <QDateTime>
#include <QPlainTextEdit>
#include <QTimer>
#include <chrono>

#include "Mianc.h"
#include "application.h"
#include "convert_error.h"
#include "files/download_image.h"
#include "link/controller_link.h"
#include "link/serial_comm.h"
#include "message_box.h"
#include "shape.h"
#include "sim/virtual_controller.h"
#include "string_grid.h"
#include "ui_Mianc.h"

namespace vqled {

namespace {

LocalTime ToLocalTime(const QDateTime& moment) {
  const QDate date = moment.date();
  const QTime time = moment.time();
  return {date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second()};
}

}  // namespace

void TForm2::CreateLink() {
  auto encoder = [this](int area, ImageBuffer& buffer) {
    return EncodeDownloadImage(document_.store(), document_.profile(), CurrentDownloadControls(),
                               area, buffer);
  };
  link_ = std::make_unique<ControllerLink>(*this, std::make_unique<SerialComm>(), document_.store(),
                                           document_.profile(), document_.image(), encoder);
  connect(Timer1, &QTimer::timeout, this, [this] { RunHandler([this] { link_->Timer1Timer(); }); });
  connect(Timer5, &QTimer::timeout, this, [this] { RunHandler([this] { link_->Timer5Timer(); }); });
  connect(DataTime, &QTimer::timeout, this, [this] { DataTimeTimer(); });
  connect(ui_->BitBtn7, &QPushButton::clicked, this,
          [this] { RunHandler([this] { BitBtn7Click(); }); });
  connect(ui_->BitBtn5, &QPushButton::clicked, this,
          [this] { RunHandler([this] { link_->BitBtn5Click(); }); });
  connect(ui_->Button5, &QPushButton::clicked, this,
          [this] { RunHandler([this] { Button5Click(); }); });
  connect(ui_->BitBtn18, &QPushButton::clicked, this,
          [this] { RunHandler([this] { link_->BitBtn18Click(); }); });
  connect(ui_->BitBtn19, &QPushButton::clicked, this,
          [this] { RunHandler([this] { link_->BitBtn19Click(); }); });
  connect(ui_->BitBtn16, &QPushButton::clicked, this,
          [this] { RunHandler([this] { link_->BitBtn16Click(ui_->RadioButton5->isChecked()); }); });
}

DownloadControls TForm2::CurrentDownloadControls() const {
  DownloadControls controls = DownloadControlsFromArea(ReadAreaControls(), CurrentHeaderControls());
  QComboBox* const groups[] = {ui_->ComboBox9, ui_->ComboBox10, ui_->ComboBox11, ui_->ComboBox12};
  int* const indexes[] = {&controls.comboBox9Index, &controls.comboBox10Index,
                          &controls.comboBox11Index, &controls.comboBox12Index};
  for (int i = 0; i < 4; ++i) *indexes[i] = groups[i]->currentIndex();
  controls.checkBox4 = ui_->CheckBox4->isChecked();
  return controls;
}

// "当前区发送": the status line says so, then the loop count of Edit6 is
// stored for the current area (a text that is no number stops it there).
void TForm2::BitBtn7Click() {
  link_->BitBtn7Click([this] { return ReadInt(ui_->Edit6->text()); });
}

// "发送设置": the 40-byte settings image from the panel's lists. The row
// lists with nothing selected show item 0 before Config.ini is saved.
void TForm2::Button5Click() {
  SettingsPanel panel = ReadSettingsPanel();
  DefaultTriggerRows(panel);
  ShowTriggerRows(panel);
  link_->Button5Click(panel);
}

void TForm2::DataTimeTimer() {
  link_->DataTimeTimer();
}

void TForm2::SetStatus(const Text& text) {
  ui_->Label13->setText(Tr(text));
}
// Only a download shows an area number; in all-areas mode the label beside
// the progress bar adds "2/7".
void TForm2::SetAreaLabel(const Text& text) {
  ui_->Label80->setText(Tr(text));
  ShowAreaOfAreas(QString::fromStdString(text.en).toInt());
}
void TForm2::SetLastReply(std::string_view text) {
  ui_->Label6->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}
void TForm2::ClearLog() {
  ui_->Memo1->clear();
}
void TForm2::AddLogLine(std::string_view line) {
  ui_->Memo1->appendPlainText(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())));
}
void TForm2::SetProgress(int position) {
  ui_->cxProgressBar1->show();
  ui_->cxProgressBar1->setValue(position);
}
void TForm2::SetLinkLamp(bool busy) {
  ui_->Shape1->setBrushColor(busy ? Qt::red : Qt::white);
}

void TForm2::SetControlEnabled(LinkControl control, bool enabled) {
  switch (control) {
    case CONTROL_COMBOBOX5:
      ui_->ComboBox5->setEnabled(enabled);
      break;
    case CONTROL_BITBTN7:
      ui_->BitBtn7->setEnabled(enabled);
      break;
    case CONTROL_BITBTN5:
      ui_->BitBtn5->setEnabled(enabled);
      break;
    case CONTROL_EDITING_GROUPS:
      ui_->GroupBox5->setEnabled(enabled);
      StringGrid1->setEnabled(enabled);
      ui_->GroupBox3->setEnabled(enabled);
      break;
  }
}

void TForm2::ShowMessage(const Text& text, const Text& caption) {
  vqled::ShowMessage(this, Tr(caption), Tr(text));
}

void TForm2::StartTimer(LinkTimer timer, int intervalMs) {
  (timer == TIMER_1 ? Timer1 : Timer5)->start(intervalMs);
}
void TForm2::StopTimer(LinkTimer timer) {
  (timer == TIMER_1 ? Timer1 : Timer5)->stop();
}
void TForm2::SetClockText(std::string_view text) {
  ui_->Label137->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}
void TForm2::SetDayCount(std::string_view text) {
  ui_->Label138->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void TForm2::SwitchToModelVQM28() {
  {
    const QSignalBlocker quiet(ui_->ComboBox6);
    ui_->ComboBox6->setCurrentIndex(kModelVQM28);
  }
  LayoutGrid(ApplyModelProfile());
}

// The virtual controller's entry gives the device of a controller of the
// model selected now.
std::string_view TForm2::PortText() {
  portText_ = ui_->ComboBox5->currentText().trimmed().toStdString();
  if (VirtualController::IsEntry(portText_)) portText_ = VirtualDevice();
  return portText_;
}

LocalTime TForm2::LocalNow() {
  return ToLocalTime(QDateTime::currentDateTime());
}
// A clock that the system's time setting never moves: the watchdog measures
// silence, and a step of the calendar clock must not end or stretch it.
int64_t TForm2::NowSeconds() {
  return std::chrono::duration_cast<std::chrono::seconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}
LocalTime TForm2::EndDate() {
  return ToLocalTime(ui_->DateTimePicker1->dateTime());
}
bool TForm2::DebugImageWanted() {
  return ui_->CheckBox4->isChecked();
}

// The settings command saves Config.ini too; a file that cannot be written
// is reported and the program carries on.
void TForm2::SaveConfig() {
  const Outcome saved = WriteConfig();
  if (!saved.ok) vqled::ShowMessage(this, windowTitle(), Tr(saved.message));
}

void TForm2::PostReceive(uint32_t port) {
  QMetaObject::invokeMethod(
      this, [this, port] { RunHandler([&] { link_->OnCommReceive(port); }); },
      Qt::QueuedConnection);
}

void TForm2::LinkStopped() {
  ShowAreaOfAreas(-1);
}

}  // namespace vqled
