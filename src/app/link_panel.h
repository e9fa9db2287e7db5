// The window's side of the controller link: the port list ComboBox5 (its
// items, hot-plug and "Find" are PortList's), the status line, area label,
// last reply, Memo1, progress bar, link lamp, the controls a transaction holds, message boxes, the
// probe timer Timer1 and the reply watchdog Timer5, and the clock. It owns the link and plays every
// host role for it; what only the window can do (switch the model, save
// Config.ini, start the virtual controller) it asks of the window.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "link/controller_link.h"
#include "link/link_host.h"
#include "ui/captions.h"

class QTimer;
class QWidget;

namespace Ui {
class TForm2;
}

namespace vqled {

class Document;
class PortList;
class TriggerSettingsPanel;
struct DownloadControls;

// The local time of the system and a steady count of seconds.
class SystemLinkClock : public LinkClock {
 public:
  LocalTime LocalNow() override;
  int64_t NowSeconds() override;
};

// What the link panel asks of the window.
struct LinkPanelWindow {
  std::function<void()> switchToModelVQM28;  // ComboBox6, the profile and the grid
  std::function<Outcome()> writeConfig;
  std::function<std::string()> virtualDevice;  // the device of the virtual controller
  std::function<void()> addVirtualEntry;       // after the serial devices in ComboBox5
  std::function<void(int area)> showAreaOfAreas;
  std::function<DownloadControls()> downloadControls;  // the encoder's form inputs
};

class LinkPanel : public FullLinkHost {
 public:
  LinkPanel(QWidget& window, Ui::TForm2& ui, QWidget& grid, QTimer& timer1, QTimer& timer5,
            Document& document, const LanguageMode& language, LinkPanelWindow hooks);
  LinkPanel(const LinkPanel&) = delete;
  LinkPanel& operator=(const LinkPanel&) = delete;
  ~LinkPanel() override;

  ControllerLink& link() { return *link_; }
  PortList& portList() { return *portList_; }

  // The time the link is given comes from clock; nullptr: the system's.
  void SetClock(LinkClock* clock) { clock_ = clock ? clock : &systemClock_; }
  // Told each time the probe timer Timer1 is started.
  void SetProbeObserver(std::function<void()> observer) { probeObserver_ = std::move(observer); }

  // The window's events.
  void BitBtn7Click();
  void Button5Click(TriggerSettingsPanel& settings);
  void DataTimeTimer();
  void ListPorts();  // BitBtn2Click

  // LinkStatusView
  void SetStatus(const Text& text) override;
  void SetAreaLabel(const Text& text) override;
  void SetLastReply(std::string_view text) override;
  void ClearLog() override;
  void AddLogLine(std::string_view line) override;
  void ShowMessage(const Text& text, const Text& caption) override;
  void SetClockText(std::string_view text) override;
  void SetDayCount(std::string_view text) override;
  // LinkProgressView
  void SetProgress(int position) override;
  // LinkBusyView
  void SetLinkLamp(bool busy) override;
  void SetControlEnabled(LinkControl control, bool enabled) override;
  void LinkStopped() override;
  // LinkTimers
  void StartTimer(LinkTimer timer, int intervalMs) override;
  void StopTimer(LinkTimer timer) override;
  void PostReceive(uint32_t port) override;
  // LinkClock
  LocalTime LocalNow() override { return clock_->LocalNow(); }
  int64_t NowSeconds() override { return clock_->NowSeconds(); }
  // LinkSettings
  void SwitchToModelVQM28() override { hooks_.switchToModelVQM28(); }
  std::string_view PortText() override;
  LocalTime EndDate() override;
  bool DebugImageWanted() override;
  void SaveConfig() override;  // reports a file that cannot be written, never ends the program

 private:
  QString Tr(const Text& text) const;

  QWidget& window_;
  Ui::TForm2& ui_;
  QWidget& grid_;
  QTimer& timer1_;
  QTimer& timer5_;
  const LanguageMode& language_;
  LinkPanelWindow hooks_;
  SystemLinkClock systemClock_;
  LinkClock* clock_ = &systemClock_;
  std::function<void()> probeObserver_;
  std::string portText_;  // ComboBox5's text as the link last asked for it
  std::unique_ptr<ControllerLink> link_;
  std::unique_ptr<PortList> portList_;
};

}  // namespace vqled
