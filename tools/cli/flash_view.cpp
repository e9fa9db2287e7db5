#include "flash_view.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "link/flash_log.h"

namespace vqled::cli {
namespace {

constexpr int kRedrawMs = 200;

std::string Rate(double bytesPerSecond) {
  char text[32];
  if (bytesPerSecond >= 1000) {
    std::snprintf(text, sizeof text, "%.1f kB/s", bytesPerSecond / 1000);
  } else {
    std::snprintf(text, sizeof text, "%.0f B/s", bytesPerSecond);
  }
  return text;
}

std::string Eta(int seconds) {
  if (seconds < 0) return "ETA --:--";
  char text[32];
  std::snprintf(text, sizeof text, "ETA %d:%02d", seconds / 60, seconds % 60);
  return text;
}

// A unit's time over all its attempts, in seconds.
double UnitSeconds(const std::vector<FlashAttempt>& attempts) {
  if (attempts.empty()) return 0;
  return static_cast<double>(attempts.back().endMs - attempts.front().startMs) / 1000.0;
}

}  // namespace

std::string FlashLiveLine(const FlashProgress& p) {
  char text[512];
  std::snprintf(text, sizeof text, "%-24s area %d/%d  %3d%%  %11s  %s  %s", p.port.c_str(),
                p.areaOrdinal, p.areaTotal, p.percent, Rate(p.bytesPerSecond).c_str(),
                Eta(p.etaSeconds).c_str(), FlashResultName(p.result));
  return text;
}

void FlashView::Update(const FlashStation& station, int64_t nowMs, bool force) {
  const size_t count = station.UnitCount();
  if (terminal_) {
    if (!force && nowMs - lastDrawMs_ < kRedrawMs) return;
    lastDrawMs_ = nowMs;
    if (linesDrawn_ > 0) std::fprintf(out_, "\x1b[%zuA", linesDrawn_);  // back to the first line
    for (size_t i = 0; i < count; ++i) {
      std::fprintf(out_, "\r\x1b[2K%s\n", FlashLiveLine(station.UnitProgress(i)).c_str());
    }
    linesDrawn_ = count;
    std::fflush(out_);
    return;
  }
  lastShown_.resize(count);
  for (size_t i = 0; i < count; ++i) {
    const FlashProgress p = station.UnitProgress(i);
    if (p.result == FLASH_WAITING) continue;
    const std::string key = std::to_string(p.result) + "/" + std::to_string(p.areaOrdinal);
    if (key == lastShown_[i]) continue;
    lastShown_[i] = key;
    std::fprintf(out_, "%s\n", FlashLiveLine(p).c_str());
  }
  std::fflush(out_);
}

void PrintFlashSummary(std::FILE* out, const FlashStation& station) {
  std::fprintf(out, "%-24s %-7s %-7s %8s  %s\n", "PORT", "RESULT", "RETRIES", "TIME", "STATUS");
  for (size_t i = 0; i < station.UnitCount(); ++i) {
    const auto& attempts = station.UnitAttempts(i);
    const std::string status = attempts.empty() ? "" : attempts.back().status.en;
    const auto retries = std::count_if(attempts.begin(), attempts.end(),
                                       [](const FlashAttempt& a) { return a.retry > 0; });
    std::fprintf(out, "%-24s %-7s %-7ld %7.1fs  %s\n", station.UnitPort(i).device.c_str(),
                 FlashResultName(station.UnitResult(i)), static_cast<long>(retries),
                 UnitSeconds(attempts), status.c_str());
  }
}

std::string FlashSummaryJson(const FlashStation& station) {
  nlohmann::json units = nlohmann::json::array();
  for (size_t i = 0; i < station.UnitCount(); ++i) {
    nlohmann::json attempts = nlohmann::json::array();
    for (const FlashAttempt& attempt : station.UnitAttempts(i)) {
      attempts.push_back(
          nlohmann::json::parse(FlashLogRecord(station.UnitPort(i), station.job(), attempt)));
    }
    units.push_back({{"port", station.UnitPort(i).device},
                     {"result", FlashResultName(station.UnitResult(i))},
                     {"attempts", attempts}});
  }
  return nlohmann::json({{"passed", station.AllPassed()}, {"units", units}}).dump(2);
}

}  // namespace vqled::cli
