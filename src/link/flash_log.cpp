#include "link/flash_log.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <nlohmann/json.hpp>

#include "model/model_catalogue.h"

namespace vqled {
namespace {

nlohmann::json TextJson(const Text& text) {
  return {{"zh", text.zh}, {"en", text.en}};
}

// A known field, or null.
nlohmann::json Known(const std::string& value) {
  return value.empty() ? nlohmann::json(nullptr) : nlohmann::json(value);
}

Outcome LogFailure(const std::string& path, const char* reason) {
  return Outcome::Fail({"无法写入日志文件 " + path + "：" + reason,
                        "cannot write the log file " + path + ": " + reason});
}

}  // namespace

std::string IsoTime(int64_t epochMs) {
  const std::time_t seconds = static_cast<std::time_t>(epochMs / 1000);
  std::tm utc{};
  gmtime_r(&seconds, &utc);
  char text[80];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900,
                utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                static_cast<int>(epochMs % 1000));
  return text;
}

std::string FlashLogRecord(const PortRecord& port, const FlashJob& job,
                           const FlashAttempt& attempt) {
  nlohmann::json images = nlohmann::json::array();
  for (int area : attempt.areas) {
    for (const FlashImage& image : job.images) {
      if (image.area != area) continue;
      char crc[9];
      std::snprintf(crc, sizeof crc, "%08x", image.crc32);
      images.push_back({{"area", area + 1}, {"size", image.bytes.size()}, {"crc32", crc}});
    }
  }
  nlohmann::json areas = nlohmann::json::array();
  for (int area : attempt.areas) areas.push_back(area + 1);
  const nlohmann::json record = {{"port", port.device},
                                 {"byId", Known(port.byId)},
                                 {"serialNumber", Known(port.serialNumber)},
                                 {"model", CatalogueRow(job.profile.modelIndex).name},
                                 {"step", attempt.step},
                                 {"areas", areas},
                                 {"images", images},
                                 {"blocks", attempt.blocks},
                                 {"retry", attempt.retry},
                                 {"start", IsoTime(attempt.startMs)},
                                 {"end", IsoTime(attempt.endMs)},
                                 {"result", attempt.passed ? "passed" : "failed"},
                                 {"status", TextJson(attempt.status)}};
  return record.dump();
}

FlashLog::~FlashLog() {
  if (file_ != nullptr) std::fclose(file_);
}

Outcome FlashLog::Open(const std::string& path) {
  path_ = path;
  file_ = std::fopen(path.c_str(), "ae");
  if (file_ == nullptr) return LogFailure(path, std::strerror(errno));
  return Outcome::Ok();
}

Outcome FlashLog::Write(const std::string& record) {
  if (file_ == nullptr) return Outcome::Ok();
  if (std::fputs(record.c_str(), file_) < 0 || std::fputc('\n', file_) < 0 ||
      std::fflush(file_) != 0) {
    return LogFailure(path_, std::strerror(errno));
  }
  return Outcome::Ok();
}

}  // namespace vqled
