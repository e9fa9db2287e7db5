// What vqled-cli flash shows: a live line per unit (port, area k/n,
// percent, rate, time left), redrawn in place on a terminal and written as
// plain lines when something changes otherwise; the summary table; and the
// summary as JSON.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "link/flash_station.h"

namespace vqled::cli {

// One unit's live line: "/dev/ttyUSB0  area 2/7   45%   11.3 kB/s  ETA 0:12  running".
std::string FlashLiveLine(const FlashProgress& progress);

class FlashView {
 public:
  // terminal: redraw the lines in place with cursor moves.
  FlashView(std::FILE* out, bool terminal) : out_(out), terminal_(terminal) {}

  // Shows the units' lines: on a terminal at most every 200 ms (or with
  // force), otherwise each line whose area or result changed.
  void Update(const FlashStation& station, int64_t nowMs, bool force = false);

 private:
  std::FILE* out_;
  bool terminal_;
  int64_t lastDrawMs_ = -1'000'000;
  size_t linesDrawn_ = 0;
  std::vector<std::string> lastShown_;  // per unit: result and area, plain output
};

// The summary table: port, result, retries, time, final status (English).
void PrintFlashSummary(std::FILE* out, const FlashStation& station);
// The summary as JSON: every unit with its attempts as the log records them.
std::string FlashSummaryJson(const FlashStation& station);

}  // namespace vqled::cli
