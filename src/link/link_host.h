// What the controller link shows and uses of the program that runs it, cut
// by role: the status and log, the progress, the busy state and controls,
// the timers, the clock, and the model switch with the settings the link
// reads. The main window implements them with a link panel of widgets and
// QTimers, vqled-cli with a terminal and a poll loop, the tests with a
// recording fake whose timers fire and whose clock moves when the test says
// so. One object may implement several roles. Every call is made on the
// host's user-interface thread except PostReceive.
#pragma once

#include <cstdint>
#include <string_view>

#include "link/link_frames.h"
#include "model/text.h"

namespace vqled {

// The two link timers.
enum LinkTimer : int {
  TIMER_1 = 1,  // probes for the controller
  TIMER_5 = 5   // the reply watchdog, standing interval 1000 ms
};

// The window controls the link enables and disables.
enum LinkControl : int {
  CONTROL_COMBOBOX5 = 0,      // the port selector
  CONTROL_BITBTN7 = 1,        // "当前区发送"
  CONTROL_BITBTN5 = 2,        // "全区发送"
  CONTROL_EDITING_GROUPS = 3  // GroupBox5, StringGrid1 and GroupBox3 together
};

// The texts a transaction shows: status line, labels, log and message boxes.
class LinkStatusView {
 public:
  virtual ~LinkStatusView() = default;
  virtual void SetStatus(const Text& text) = 0;                         // Label13
  virtual void SetAreaLabel(const Text& text) = 0;                      // Label80
  virtual void SetLastReply(std::string_view text) = 0;                 // Label6
  virtual void ClearLog() = 0;                                          // Memo1
  virtual void AddLogLine(std::string_view line) = 0;                   // Memo1
  virtual void ShowMessage(const Text& text, const Text& caption) = 0;  // modal, OK button
  virtual void SetClockText(std::string_view text) = 0;                 // Label137
  virtual void SetDayCount(std::string_view text) = 0;                  // Label138
};

class LinkProgressView {
 public:
  virtual ~LinkProgressView() = default;
  virtual void SetProgress(int position) = 0;  // cxProgressBar1, 0..100, shown
};

// The busy state: the lamp, the controls a transaction holds, and its end.
class LinkBusyView {
 public:
  virtual ~LinkBusyView() = default;
  virtual void SetLinkLamp(bool busy) = 0;  // Shape1: red while busy, else white
  virtual void SetControlEnabled(LinkControl control, bool enabled) = 0;
  // The link has stopped driving a transaction: it ended, was given up, was
  // not started, or waits for the user after a model switch.
  virtual void LinkStopped() = 0;
};

class LinkTimers {
 public:
  virtual ~LinkTimers() = default;
  virtual void StartTimer(LinkTimer timer, int intervalMs) = 0;  // (re)starts it
  virtual void StopTimer(LinkTimer timer) = 0;
  // Called on the port's watch thread: post a call of the link's
  // OnCommReceive(port) to the user-interface thread and return at once.
  virtual void PostReceive(uint32_t port) = 0;
};

// Time as the host gives it.
class LinkClock {
 public:
  virtual ~LinkClock() = default;
  // The local date and time.
  virtual LocalTime LocalNow() = 0;
  // Whole seconds for the watchdog, on a clock the calendar setting never moves.
  virtual int64_t NowSeconds() = 0;
};

// The model switch and the settings the link reads from the program.
class LinkSettings {
 public:
  virtual ~LinkSettings() = default;
  // Selects VQ-M28 in ComboBox6 and applies its profile and grid layout.
  virtual void SwitchToModelVQM28() = 0;
  // The text of ComboBox5: a device path or a "COMn" port text.
  virtual std::string_view PortText() = 0;
  // The date chosen in DateTimePicker1.
  virtual LocalTime EndDate() = 0;
  // The debug box CheckBox4: the download encoder has written the image to
  // the debug file instead, and nothing is sent.
  virtual bool DebugImageWanted() = 0;
  // Saves the settings file after the settings image was built.
  virtual void SaveConfig() = 0;
};

// A host that plays every role in one object.
class FullLinkHost : public LinkStatusView,
                     public LinkProgressView,
                     public LinkBusyView,
                     public LinkTimers,
                     public LinkClock,
                     public LinkSettings {};

// The host roles a controller link is given.
struct LinkHost {
  LinkStatusView& status;
  LinkProgressView& progress;
  LinkBusyView& busy;
  LinkTimers& timers;
  LinkClock& clock;
  LinkSettings& settings;

  LinkHost(LinkStatusView& statusView, LinkProgressView& progressView, LinkBusyView& busyView,
           LinkTimers& linkTimers, LinkClock& linkClock, LinkSettings& linkSettings)
      : status(statusView),
        progress(progressView),
        busy(busyView),
        timers(linkTimers),
        clock(linkClock),
        settings(linkSettings) {}
  LinkHost(FullLinkHost& all)  // implicit: a full host is every role at once
      : LinkHost(all, all, all, all, all, all) {}
};

}  // namespace vqled
