// Running the controller link from the command line: a host that shows the
// status texts and a progress bar on stderr and runs the link in the poll
// loop of link/flash_loop.h with real time. Every transaction ends through
// its own end, the probe give-up or the watchdog, so the loop always returns.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "document/document.h"
#include "files/area_image.h"
#include "link/controller_link.h"
#include "link/flash_loop.h"
#include "link/link_host.h"
#include "model/model_catalogue.h"
#include "model/model_profile.h"
#include "model/pattern_store.h"

namespace vqled::cli {

class CliHost : public PolledLinkHost {
 public:
  CliHost(std::string portText, ModelProfile& profile, PatternStore& store);

  void SetStatus(const Text& text) override;
  void SetAreaLabel(const Text& text) override;
  void SetLastReply(std::string_view) override {}
  void ClearLog() override {}
  void AddLogLine(std::string_view) override {}
  void SetProgress(int position) override;
  void SetLinkLamp(bool) override {}
  void SetControlEnabled(LinkControl, bool) override {}
  void ShowMessage(const Text& text, const Text& caption) override;
  void SetClockText(std::string_view) override {}
  void SetDayCount(std::string_view) override {}
  void SwitchToModelVQM28() override;
  LocalTime EndDate() override { return endDate; }
  bool DebugImageWanted() override { return false; }
  void SaveConfig() override {}

  // Runs timers and receive notifications for link until it stops; returns
  // the exit status: 0 when the last status text is successText.
  int RunUntilStopped(ControllerLink& link, const char* successText);

  LocalTime endDate;

 private:
  void PrintProgress();

  ModelProfile& profile_;
  PatternStore& store_;
  std::string lastStatus_;
  bool progressShown_ = false;
  int progress_ = 0;
  std::string counter_;  // the block or area number last shown as status
};

// Reads an end date "YYYY-MM-DD" in 2000..2099 (the frame carries the year
// within the century); false when the text is no such date.
bool ParseEndDate(const char* text, LocalTime& date);

// The common arguments of the link commands.
struct LinkArgs {
  std::string port;
  int modelIndex = -1;
  int controllerCount = 1;
};

// Everything one link command needs: the document as the editor holds it
// with the model selected (its image buffer is the one the link sends), the
// host and the link over a real serial port. A download command reads its file into doc and sets
// encode before it starts the link.
struct LinkSession {
  explicit LinkSession(const LinkArgs& args);
  Document doc;
  DownloadEncoder encode;
  std::unique_ptr<CliHost> host;
  std::unique_ptr<ControllerLink> link;
};

}  // namespace vqled::cli
