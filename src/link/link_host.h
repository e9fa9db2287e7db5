// What the controller link shows and uses of the window that runs it. The
// main window implements it with its widgets and QTimers, vqled-cli with a
// terminal and a poll loop, the tests with a recording fake whose timers fire
// when the test says so. Every call is made on the host's user-interface
// thread except PostReceive.
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

class LinkHost {
 public:
  virtual ~LinkHost() = default;

  virtual void SetStatus(const Text& text) = 0;          // Label13
  virtual void SetAreaLabel(const Text& text) = 0;       // Label80
  virtual void SetLastReply(std::string_view text) = 0;  // Label6
  virtual void ClearLog() = 0;                           // Memo1
  virtual void AddLogLine(std::string_view line) = 0;    // Memo1
  virtual void SetProgress(int position) = 0;            // cxProgressBar1, 0..100, shown
  virtual void SetLinkLamp(bool busy) = 0;               // Shape1: red while busy, else white
  virtual void SetControlEnabled(LinkControl control, bool enabled) = 0;
  virtual void ShowMessage(const Text& text, const Text& caption) = 0;  // modal, OK button
  virtual void StartTimer(LinkTimer timer, int intervalMs) = 0;         // (re)starts it
  virtual void StopTimer(LinkTimer timer) = 0;
  virtual void SetClockText(std::string_view text) = 0;  // Label137
  virtual void SetDayCount(std::string_view text) = 0;   // Label138

  // Selects VQ-M28 in ComboBox6 and applies its profile and grid layout.
  virtual void SwitchToModelVQM28() = 0;
  // The text of ComboBox5: a device path or a "COMn" port text.
  virtual std::string_view PortText() = 0;
  // The local date and time, and the time in whole seconds for the watchdog.
  virtual LocalTime LocalNow() = 0;
  virtual int64_t NowSeconds() = 0;
  // The date chosen in DateTimePicker1.
  virtual LocalTime EndDate() = 0;
  // The debug box CheckBox4: the download encoder has written the image to
  // the debug file instead, and nothing is sent.
  virtual bool DebugImageWanted() = 0;
  // Saves the settings file after the settings image was built.
  virtual void SaveConfig() = 0;

  // Called on the port's watch thread: post a call of the link's
  // OnCommReceive(port) to the user-interface thread and return at once.
  virtual void PostReceive(uint32_t port) = 0;
  // The link has stopped driving a transaction: it ended, was given up, was
  // not started, or waits for the user after a model switch.
  virtual void LinkStopped() = 0;
};

}  // namespace vqled
