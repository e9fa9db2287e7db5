#include "link_panel.h"

#include <QDateTime>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTimer>
#include <chrono>

#include "application.h"
#include "convert_error.h"
#include "document/document.h"
#include "files/download_image.h"
#include "link/serial_comm.h"
#include "message_box.h"
#include "port_list.h"
#include "settings_panel.h"
#include "shape.h"
#include "sim/virtual_controller.h"
#include "ui_Mianc.h"

namespace vqled {

namespace {

LocalTime ToLocalTime(const QDateTime& moment) {
  const QDate date = moment.date();
  const QTime time = moment.time();
  return {date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second()};
}

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

LocalTime SystemLinkClock::LocalNow() {
  return ToLocalTime(QDateTime::currentDateTime());
}

// A clock that the system's time setting never moves: the watchdog measures
// silence, and a step of the calendar clock must not end or stretch it.
int64_t SystemLinkClock::NowSeconds() {
  return std::chrono::duration_cast<std::chrono::seconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

LinkPanel::LinkPanel(QWidget& window, Ui::TForm2& ui, QWidget& grid, QTimer& timer1, QTimer& timer5,
                     Document& document, const LanguageMode& language, LinkPanelWindow hooks)
    : window_(window),
      ui_(ui),
      grid_(grid),
      timer1_(timer1),
      timer5_(timer5),
      language_(language),
      hooks_(std::move(hooks)) {
  auto encoder = [&document, this](int area, ImageBuffer& buffer) {
    return EncodeDownloadImage(document.store(), document.profile(), hooks_.downloadControls(),
                               area, buffer);
  };
  link_ = std::make_unique<ControllerLink>(*this, std::make_unique<SerialComm>(), document.store(),
                                           document.profile(), document.image(), encoder);
  portList_ = std::make_unique<PortList>(window, ui, language, hooks_.addVirtualEntry);
}

LinkPanel::~LinkPanel() = default;

QString LinkPanel::Tr(const Text& text) const {
  return QString::fromStdString(text.For(language_.textVariant));
}

// "当前区发送": the status line says so, then the loop count of Edit6 is
// stored for the current area (a text that is no number stops it there).
void LinkPanel::BitBtn7Click() {
  link_->BitBtn7Click([this] { return StrToInt(ui_.Edit6->text(), language_.textVariant); });
}

// "发送设置": the 40-byte settings image from the panel's lists. The row
// lists with nothing selected show item 0 before Config.ini is saved.
void LinkPanel::Button5Click(TriggerSettingsPanel& settings) {
  SettingsPanel panel = settings.ReadSettingsPanel();
  DefaultTriggerRows(panel);
  settings.ShowTriggerRows(panel);
  link_->Button5Click(panel);
}

void LinkPanel::DataTimeTimer() {
  link_->DataTimeTimer();
}

void LinkPanel::ListPorts() {
  portList_->ListPorts();
}

void LinkPanel::SetStatus(const Text& text) {
  ui_.Label13->setText(Tr(text));
}
// Only a download shows an area number; in all-areas mode the label beside
// the progress bar adds "2/7".
void LinkPanel::SetAreaLabel(const Text& text) {
  ui_.Label80->setText(Tr(text));
  hooks_.showAreaOfAreas(QString::fromStdString(text.en).toInt());
}
void LinkPanel::SetLastReply(std::string_view text) {
  ui_.Label6->setText(FromUtf8(text));
}
void LinkPanel::ClearLog() {
  ui_.Memo1->clear();
}
void LinkPanel::AddLogLine(std::string_view line) {
  ui_.Memo1->appendPlainText(FromUtf8(line));
}
void LinkPanel::ShowMessage(const Text& text, const Text& caption) {
  vqled::ShowMessage(&window_, Tr(caption), Tr(text));
}
void LinkPanel::SetClockText(std::string_view text) {
  ui_.Label137->setText(FromUtf8(text));
}
void LinkPanel::SetDayCount(std::string_view text) {
  ui_.Label138->setText(FromUtf8(text));
}

void LinkPanel::SetProgress(int position) {
  ui_.cxProgressBar1->show();
  ui_.cxProgressBar1->setValue(position);
}

void LinkPanel::SetLinkLamp(bool busy) {
  ui_.Shape1->setBrushColor(busy ? Qt::red : Qt::white);
}

void LinkPanel::SetControlEnabled(LinkControl control, bool enabled) {
  switch (control) {
    case CONTROL_COMBOBOX5:
      ui_.ComboBox5->setEnabled(enabled);
      portList_->SetSearchAllowed(enabled);
      break;
    case CONTROL_BITBTN7:
      ui_.BitBtn7->setEnabled(enabled);
      break;
    case CONTROL_BITBTN5:
      ui_.BitBtn5->setEnabled(enabled);
      break;
    case CONTROL_EDITING_GROUPS:
      ui_.GroupBox5->setEnabled(enabled);
      grid_.setEnabled(enabled);
      ui_.GroupBox3->setEnabled(enabled);
      break;
  }
}

void LinkPanel::LinkStopped() {
  hooks_.showAreaOfAreas(-1);
}

void LinkPanel::StartTimer(LinkTimer timer, int intervalMs) {
  (timer == TIMER_1 ? timer1_ : timer5_).start(intervalMs);
  if (timer == TIMER_1 && probeObserver_) probeObserver_();
}
void LinkPanel::StopTimer(LinkTimer timer) {
  (timer == TIMER_1 ? timer1_ : timer5_).stop();
}

// Runs on the port's watch thread: the window's event loop makes the call.
void LinkPanel::PostReceive(uint32_t port) {
  QMetaObject::invokeMethod(
      &window_, [this, port] { RunHandler([&] { link_->OnCommReceive(port); }); },
      Qt::QueuedConnection);
}

// The virtual controller's entry gives the device of a controller of the
// model selected now.
std::string_view LinkPanel::PortText() {
  portText_ = ui_.ComboBox5->currentText().trimmed().toStdString();
  if (VirtualController::IsEntry(portText_)) portText_ = hooks_.virtualDevice();
  return portText_;
}

LocalTime LinkPanel::EndDate() {
  return ToLocalTime(ui_.DateTimePicker1->dateTime());
}

bool LinkPanel::DebugImageWanted() {
  return ui_.CheckBox4->isChecked();
}

// The settings command saves Config.ini too; a file that cannot be written
// is reported and the program carries on.
void LinkPanel::SaveConfig() {
  const Outcome saved = hooks_.writeConfig();
  if (!saved.ok) vqled::ShowMessage(&window_, window_.windowTitle(), Tr(saved.message));
}

}  // namespace vqled
