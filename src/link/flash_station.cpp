#include "link/flash_station.h"

#include <algorithm>
#include <array>

#include "link/flash_unit.h"

namespace vqled {
namespace {

// The most units in flight: what one turn of the poll loop waits on.
constexpr int kMaxUnitsInFlight = 64;

constexpr std::array<uint32_t, 256> MakeCrcTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

constexpr std::array<uint32_t, 256> kCrcTable = MakeCrcTable();

}  // namespace

uint32_t Crc32(const uint8_t* bytes, size_t count) {
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < count; ++i) c = kCrcTable[(c ^ bytes[i]) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

Outcome EncodeFlashImages(const std::vector<int>& areas, const FlashEncoder& encode,
                          std::vector<FlashImage>& images) {
  images.clear();
  std::unique_ptr<ImageBuffer> scratch(new ImageBuffer);  // not zeroed, as the units' buffers
  for (int area : areas) {
    scratch->imageLast = -1;
    const Outcome built = encode(area, *scratch);
    if (!built.ok) return built;
    FlashImage image;
    image.area = area;
    const int size = std::clamp(scratch->imageLast + 1, 0, kImageCapacity);
    image.bytes.assign(scratch->entry, scratch->entry + size);
    image.frameCountHigh = scratch->frameCountHigh;
    image.frameCountLow = scratch->frameCountLow;
    image.crc32 = Crc32(image.bytes.data(), image.bytes.size());
    images.push_back(std::move(image));
  }
  return Outcome::Ok();
}

const char* FlashResultName(FlashResult result) {
  switch (result) {
    case FLASH_WAITING:
      return "waiting";
    case FLASH_RUNNING:
      return "running";
    case FLASH_PASSED:
      return "passed";
    case FLASH_FAILED:
      return "failed";
  }
  return "failed";
}

FlashStation::FlashStation(FlashJob job, PatternStore& store, FlashPortFactory makePort,
                           LoopClock& clock, std::function<int64_t()> wallClock)
    : job_(std::move(job)),
      store_(store),
      makePort_(std::move(makePort)),
      clock_(clock),
      wallClock_(std::move(wallClock)) {}

FlashStation::~FlashStation() = default;

void FlashStation::AddUnit(const PortRecord& port) {
  Entry entry;
  entry.port = port;
  entry.progress.port = port.device;
  units_.push_back(std::move(entry));
}

void FlashStation::StartQueued() {
  const int limit = job_.jobs > 0 ? std::min(job_.jobs, kMaxUnitsInFlight) : kMaxUnitsInFlight;
  int inFlight = static_cast<int>(std::count_if(
      units_.begin(), units_.end(), [](const Entry& e) { return e.result == FLASH_RUNNING; }));
  for (Entry& entry : units_) {
    if (inFlight >= limit) break;
    if (entry.result != FLASH_WAITING) continue;
    entry.live =
        std::make_unique<FlashUnit>(entry.port, job_, store_, makePort_(), clock_, wallClock_);
    entry.live->Start();
    entry.result = entry.live->result();
    if (entry.result == FLASH_RUNNING) {
      ++inFlight;
    } else {
      Retire(entry);
    }
  }
  running_.clear();
  for (Entry& entry : units_) {
    if (entry.live) running_.push_back({entry.live.get(), &entry.live->link()});
  }
}

void FlashStation::Retire(Entry& entry) {
  entry.attempts = entry.live->attempts();
  entry.progress = entry.live->Progress();
  entry.live.reset();
}

bool FlashStation::Step(int maxWaitMs, int extraFd) {
  StartQueued();
  const bool extraReady = PollLinks(running_, maxWaitMs, extraFd);
  bool ended = false;
  for (size_t i = 0; i < units_.size(); ++i) {
    Entry& entry = units_[i];
    if (!entry.live) continue;
    const size_t ending = entry.live->attempts().size() - 1;
    if (!entry.live->Advance()) continue;
    entry.result = entry.live->result();
    if (entry.result != FLASH_RUNNING) {
      Retire(entry);
      ended = true;
    }
    if (onAttemptEnded) onAttemptEnded(i, UnitAttempts(i)[ending]);
  }
  if (ended) StartQueued();
  return extraReady;
}

void FlashStation::RunUntilDone(int maxWaitMs) {
  while (!Done()) Step(maxWaitMs);
}

bool FlashStation::Done() const {
  return std::none_of(units_.begin(), units_.end(), [](const Entry& e) {
    return e.result == FLASH_WAITING || e.result == FLASH_RUNNING;
  });
}

size_t FlashStation::UnitCount() const {
  return units_.size();
}

const PortRecord& FlashStation::UnitPort(size_t unit) const {
  return units_[unit].port;
}

FlashResult FlashStation::UnitResult(size_t unit) const {
  return units_[unit].result;
}

const std::vector<FlashAttempt>& FlashStation::UnitAttempts(size_t unit) const {
  const Entry& entry = units_[unit];
  return entry.live ? entry.live->attempts() : entry.attempts;
}

FlashProgress FlashStation::UnitProgress(size_t unit) const {
  const Entry& entry = units_[unit];
  return entry.live ? entry.live->Progress() : entry.progress;
}

bool FlashStation::AllPassed() const {
  return !units_.empty() && std::all_of(units_.begin(), units_.end(),
                                        [](const Entry& e) { return e.result == FLASH_PASSED; });
}

}  // namespace vqled
