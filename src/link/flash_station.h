// The flashing station: the same job run on many controllers at once, in
// one poll loop. Each unit has its own controller link, host (timers, clock,
// status), port and image buffer, and runs the transactions of a single
// controller exactly as the window does; the download images are encoded
// once and shared read-only. A unit that fails (no answer, a port that
// hangs up, a send error) fails alone; the others go on. A failed step is
// run again, for a download from the area that failed, up to the job's
// retries; every attempt leaves a record.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "files/area_image.h"
#include "link/controller_settings.h"
#include "link/flash_loop.h"
#include "link/link_frames.h"
#include "link/link_port.h"
#include "link/port_source.h"
#include "model/model_profile.h"
#include "model/pattern_store.h"
#include "model/text.h"

namespace vqled {

// The download image of one area, encoded once for every unit.
struct FlashImage {
  int area = 0;
  std::vector<uint8_t> bytes;  // entry[0..imageLast]
  uint8_t frameCountHigh = 0;
  uint8_t frameCountLow = 0;
  uint32_t crc32 = 0;
};

// The CRC-32 (IEEE 802.3, as zip and PNG use) of the bytes.
uint32_t Crc32(const uint8_t* bytes, size_t count);

// Encodes area's download image into image (the document's encoder).
using FlashEncoder = std::function<Outcome(int area, ImageBuffer& image)>;
// Encodes each of areas once, with its CRC-32; fails with the first refusal.
Outcome EncodeFlashImages(const std::vector<int>& areas, const FlashEncoder& encode,
                          std::vector<FlashImage>& images);

// What every unit is to do, in this order: the download (all areas or one),
// the trigger settings, the clock, the end date. Absent steps are skipped.
// The clock comes after the settings so it is set as late as possible.
struct FlashJob {
  ModelProfile profile;            // the model selected, copied into each unit
  bool allAreas = false;           // an all-areas download ("全区发送")
  int area = -1;                   // else this area alone ("当前区发送"); -1: no download
  int loopCount = 0;               // the single area's loop count (Edit6)
  std::vector<FlashImage> images;  // the areas the download sends
  bool settings = false;
  SettingsPanel settingsPanel;  // the lists the settings image is built from
  bool clock = false;
  bool endDate = false;
  LocalTime endDateValue;
  int retries = 0;  // attempts after a failed one, per step
  int jobs = 0;     // units in flight at most; 0: every unit at once
};

enum FlashResult : uint8_t { FLASH_WAITING, FLASH_RUNNING, FLASH_PASSED, FLASH_FAILED };

const char* FlashResultName(FlashResult result);

// The record of one attempt of a unit.
struct FlashAttempt {
  std::string step;        // "download", "settings", "clock", "end-date"
  std::vector<int> areas;  // the areas this attempt sent or tried
  int blocks = 0;          // data blocks the controller acknowledged
  int retry = 0;           // 0 for the first attempt of the step
  int64_t startMs = 0;     // wall-clock milliseconds since the epoch
  int64_t endMs = 0;
  bool passed = false;
  Text status;  // the final status text (or failure message)
};

// What the live line of a unit shows.
struct FlashProgress {
  std::string port;
  FlashResult result = FLASH_WAITING;
  int areaOrdinal = 0;  // 1-based place of the area being sent, 0 before
  int areaTotal = 0;    // areas of the download
  int percent = 0;      // of the whole job's bytes
  double bytesPerSecond = 0;
  int etaSeconds = -1;  // -1 while unknown
  Text status;
};

// Makes the port a unit's link talks to; SerialComm in the programs.
using FlashPortFactory = std::function<std::unique_ptr<LinkPort>()>;

class FlashUnit;

class FlashStation {
 public:
  // store is the document's (the links measure the areas in it; every unit
  // writes the same lengths); wallClock gives the records' times in
  // milliseconds since the epoch.
  FlashStation(FlashJob job, PatternStore& store, FlashPortFactory makePort, LoopClock& clock,
               std::function<int64_t()> wallClock);
  ~FlashStation();
  FlashStation(const FlashStation&) = delete;
  FlashStation& operator=(const FlashStation&) = delete;

  // Queues the job on a port; it starts when fewer than jobs units run.
  void AddUnit(const PortRecord& port);
  // One turn of the loop (see PollLinks): starts queued units, services the
  // running ones and moves each on when its transaction stopped. Returns
  // whether extraFd turned readable.
  bool Step(int maxWaitMs, int extraFd = -1);
  // Turns the loop until every unit has ended.
  void RunUntilDone(int maxWaitMs = 1000);
  bool Done() const;

  size_t UnitCount() const;
  const PortRecord& UnitPort(size_t unit) const;
  FlashResult UnitResult(size_t unit) const;
  const std::vector<FlashAttempt>& UnitAttempts(size_t unit) const;
  FlashProgress UnitProgress(size_t unit) const;
  const FlashJob& job() const { return job_; }
  bool AllPassed() const;

  // Called with the unit's index and the record after each attempt ends.
  std::function<void(size_t unit, const FlashAttempt& attempt)> onAttemptEnded;

 private:
  // A unit's port and record; its link lives only while it runs, so a
  // station that runs many units holds no port, pipe or buffer of one that
  // ended.
  struct Entry {
    PortRecord port;
    FlashResult result = FLASH_WAITING;
    std::unique_ptr<FlashUnit> live;
    std::vector<FlashAttempt> attempts;  // once ended
    FlashProgress progress;              // once ended
  };

  void StartQueued();
  void Retire(Entry& entry);

  FlashJob job_;
  PatternStore& store_;
  FlashPortFactory makePort_;
  LoopClock& clock_;
  std::function<int64_t()> wallClock_;
  std::vector<Entry> units_;
  std::vector<PolledLink> running_;  // rebuilt when units start or end
};

}  // namespace vqled
