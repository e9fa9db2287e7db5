// One unit of the flashing station: a controller link over its own port,
// hosted in the station's poll loop, walking the job's steps and keeping a
// record of every attempt.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "link/controller_link.h"
#include "link/flash_loop.h"
#include "link/flash_station.h"

namespace vqled {

class FlashUnit : public PolledLinkHost {
 public:
  FlashUnit(const PortRecord& port, const FlashJob& job, PatternStore& store,
            std::unique_ptr<LinkPort> linkPort, LoopClock& clock,
            const std::function<int64_t()>& wallClock);
  ~FlashUnit() override;

  // Starts the first step.
  void Start();
  // After the loop serviced the link: records the attempt when the
  // transaction stopped and starts the next one (a retry or the next
  // step). Returns true when the attempt ended.
  bool Advance();

  const PortRecord& port() const { return port_; }
  FlashResult result() const { return result_; }
  const std::vector<FlashAttempt>& attempts() const { return attempts_; }
  FlashProgress Progress() const;
  ControllerLink& link() { return *link_; }

  // What the link shows: only the status and message texts are kept.
  void SetStatus(const Text& text) override { status_ = text; }
  void SetAreaLabel(const Text&) override {}
  void SetLastReply(std::string_view) override {}
  void ClearLog() override {}
  void AddLogLine(std::string_view) override {}
  void ShowMessage(const Text& text, const Text&) override;
  void SetClockText(std::string_view) override {}
  void SetDayCount(std::string_view) override {}
  void SetProgress(int) override {}
  void SetLinkLamp(bool) override {}
  void SetControlEnabled(LinkControl, bool) override {}
  // A VQ-M28 controller answered a job for another model: the unit fails
  // with the link's "wrong model" status; the job's model stays.
  void SwitchToModelVQM28() override {}
  LocalTime EndDate() override { return job_.endDateValue; }
  bool DebugImageWanted() override { return false; }
  void SaveConfig() override {}

 private:
  enum Step : uint8_t { STEP_DOWNLOAD, STEP_SETTINGS, STEP_CLOCK, STEP_END_DATE, STEP_NONE };

  Outcome CopyImage(int area, ImageBuffer& image);
  const FlashImage* ImageOf(int area) const;
  Step NextStep(int after) const;
  void BeginAttempt(int firstArea);
  void TrackAreas();
  int AreaBlocks(int area) const;
  int64_t SentBytes() const;

  PortRecord port_;
  const FlashJob& job_;
  const std::function<int64_t()>& wallClock_;
  ModelProfile profile_;                 // the job's model; the link may set the block size
  std::unique_ptr<ImageBuffer> buffer_;  // what the link sends, pages touched as filled
  std::unique_ptr<ControllerLink> link_;
  FlashResult result_ = FLASH_WAITING;
  Step step_ = STEP_NONE;
  int retriesUsed_ = 0;
  std::vector<FlashAttempt> attempts_;
  Text status_;
  Text message_;
  bool messageShown_ = false;
  int trackedArea_ = -1;   // the download's area in progress
  int64_t doneBytes_ = 0;  // of the areas stored in this run of the job
  int doneBlocks_ = 0;     // acknowledged blocks of the stored areas of the attempt
  int areasDone_ = 0;
  int64_t firstStartMs_ = 0;  // loop clock, for the rate
  int64_t totalBytes_ = 0;
};

}  // namespace vqled
