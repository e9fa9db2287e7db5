// The flashing station's log: one JSON object a line (JSON Lines) per unit
// and attempt, written and flushed as each attempt ends, so that the records
// of the units that finished survive a station that is stopped.
#pragma once

#include <cstdio>
#include <string>

#include "link/flash_station.h"
#include "model/text.h"

namespace vqled {

// The record of one attempt: port, by-id name and USB serial number where
// known, model, areas, the CRC-32 and size of each image sent, blocks, the
// retry number, start and end (ISO 8601, UTC), result, and the final status
// text in both variants.
std::string FlashLogRecord(const PortRecord& port, const FlashJob& job,
                           const FlashAttempt& attempt);

// Milliseconds since the epoch as ISO 8601 in UTC: "2026-12-10T21:40:05.123Z".
std::string IsoTime(int64_t epochMs);

class FlashLog {
 public:
  FlashLog() = default;
  ~FlashLog();
  FlashLog(const FlashLog&) = delete;
  FlashLog& operator=(const FlashLog&) = delete;

  // Opens path for appending; fails naming the file and the reason.
  Outcome Open(const std::string& path);
  bool IsOpen() const { return file_ != nullptr; }
  // Appends the record and flushes it; fails naming the file and the reason.
  Outcome Write(const std::string& record);

 private:
  std::FILE* file_ = nullptr;
  std::string path_;
};

}  // namespace vqled
