#include "sim/sim_controller.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "files/file_io.h"

namespace vqled {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kReadChunk = 4096;
constexpr int kQuietPollMs = 100;     // how often a quiet line checks the exit conditions
constexpr int kClosedBackOffMs = 10;  // how long to wait while no host holds the line
constexpr int kHostLeaveMs = 1000;    // how long an exit waits for the host to close its port
constexpr int kLoggedDataBytes = 48;  // bytes of a block kept in the in-memory log

double MsBetween(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

std::string Hex(const uint8_t* bytes, int count) {
  std::string text(static_cast<size_t>(count) * 3 + 1, '\0');
  BytesToHex(bytes, count, text.data());
  text.resize(count > 0 ? static_cast<size_t>(count) * 3 - 1 : 0);
  return text;
}

std::string ImageFileName(const std::string& dir, int area) {
  char name[32];
  if (area < 0) {
    std::snprintf(name, sizeof name, "/settings.bin");
  } else {
    std::snprintf(name, sizeof name, "/area-%02d.bin", area + 1);
  }
  return dir + name;
}

Outcome WriteImage(const std::string& dir, const SimImage& image) {
  SafeFileWriter file(ImageFileName(dir, image.area));
  const Outcome opened = file.Open();
  if (!opened.ok) return opened;
  file.Write(image.bytes.data(), image.bytes.size());
  return file.Commit();
}

}  // namespace

SimController::SimController(SimOptions options)
    : options_(std::move(options)),
      session_(std::make_unique<ControllerSession>(options_.profile, options_.replies,
                                                   options_.faults)) {}

SimController::~SimController() {
  Stop();
  if (logFile_ != nullptr) std::fclose(logFile_);
}

std::string SimController::Start() {
  if (thread_.joinable()) return devicePath_;
  if (stopRequested_) throw std::logic_error("a stopped virtual controller does not start again");
  if (!options_.saveDir.empty()) {
    std::error_code error;
    std::filesystem::create_directories(options_.saveDir, error);
    if (error) {
      throw std::runtime_error("cannot create the image folder " + options_.saveDir + ": " +
                               error.message());
    }
  }
  if (!options_.logPath.empty()) {
    logFile_ = std::fopen(options_.logPath.c_str(), "a");
    if (logFile_ == nullptr) {
      throw std::runtime_error("cannot open the frame log " + options_.logPath);
    }
  }
  if (options_.tty.empty()) {
    devicePath_ = line_.OpenPseudoTerminal();
  } else {
    line_.OpenTty(options_.tty);
    devicePath_ = options_.tty;
  }
  startedAt_ = Clock::now();
  rxDoneAt_ = txDoneAt_ = startedAt_;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    running_ = true;
    session_->Stats().serving = true;
  }
  Log(LOG_NOTE, "serving " + devicePath_);
  thread_ = std::thread(&SimController::Serve, this);
  return devicePath_;
}

void SimController::Stop() {
  stopRequested_ = true;
  line_.Wake();
  if (thread_.joinable()) thread_.join();
  line_.HangUp();
}

bool SimController::Running() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return running_;
}

std::optional<SimImage> SimController::Image(int area) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return session_->Image(area);
}

std::vector<SimImage> SimController::Images() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<SimImage> images;
  for (int area = 0; area < kAreaCount; ++area) {
    if (std::optional<SimImage> image = session_->Image(area)) images.push_back(*image);
  }
  return images;
}

SimReceived SimController::Received() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return session_->Received();
}

std::vector<SimLogEntry> SimController::FrameLog() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<SimLogEntry> entries(log_.begin() + static_cast<long>(logStart_), log_.end());
  entries.insert(entries.end(), log_.begin(), log_.begin() + static_cast<long>(logStart_));
  return entries;
}

SimStats SimController::Stats() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return session_->Stats();
}

bool SimController::WaitFor(const std::function<bool(const SimStats&)>& predicate,
                            std::chrono::milliseconds timeout) const {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait_for(lock, timeout, [&] { return predicate(session_->Stats()) || !running_; });
  return predicate(session_->Stats());
}

Outcome SimController::SaveImages(const std::string& dir) const {
  std::lock_guard<std::mutex> lock(mutex_);
  for (int area = -1; area < kAreaCount; ++area) {
    const std::optional<SimImage> image = ImageOf(area);
    if (!image || !image->complete) continue;
    Outcome outcome = WriteImage(dir, *image);
    if (!outcome.ok) return outcome;
  }
  return Outcome::Ok();
}

// The log helpers are called with mutex_ held.
void SimController::WriteLogLine(double atMs, SimLogDirection direction, const std::string& text) {
  static const char* const kMarks[] = {"<<", ">>", "  "};
  for (std::FILE* out : {logFile_, options_.logToStderr ? stderr : nullptr}) {
    if (out == nullptr) continue;
    std::fprintf(out, "%10.3f %s %s\n", atMs / 1000.0, kMarks[direction], text.c_str());
    std::fflush(out);
  }
}

void SimController::Remember(double atMs, SimLogDirection direction, std::string text) {
  if (options_.logCapacity <= 0) return;
  SimLogEntry entry{atMs, direction, std::move(text)};
  if (log_.size() < static_cast<size_t>(options_.logCapacity)) {
    log_.push_back(std::move(entry));
    return;
  }
  log_[logStart_] = std::move(entry);
  logStart_ = (logStart_ + 1) % log_.size();
}

void SimController::Log(SimLogDirection direction, const std::string& text) {
  const double atMs = MsBetween(startedAt_, Clock::now());
  WriteLogLine(atMs, direction, text);
  Remember(atMs, direction, text);
}

// The files get every byte; the memory log keeps the start of a long block.
void SimController::LogBytes(SimLogDirection direction, const uint8_t* bytes, int count) {
  const double atMs = MsBetween(startedAt_, Clock::now());
  std::string text = Hex(bytes, count);
  WriteLogLine(atMs, direction, text);
  if (count > kLoggedDataBytes) {
    text.resize(kLoggedDataBytes * 3 - 1);
    text += " ... (" + std::to_string(count) + " bytes)";
  }
  Remember(atMs, direction, std::move(text));
}

void SimController::LogNote() {
  if (session_->Note()[0] != '\0') Log(LOG_NOTE, session_->Note());
}

void SimController::Serve() {
  bool hostHolds = false;
  Clock::time_point lastByteAt = Clock::now();
  Clock::time_point exitAt{};
  bool exiting = false;
  uint8_t chunk[kReadChunk];
  while (!stopRequested_) {
    const LineWait wait = line_.Wait(reader_.InFrame() ? options_.frameTimeoutMs : kQuietPollMs);
    const Clock::time_point now = Clock::now();
    if (wait == LINE_WOKEN) continue;
    if (wait == LINE_FAILED) {
      std::lock_guard<std::mutex> lock(mutex_);
      Log(LOG_NOTE, "the line failed");
      break;
    }
    if (wait == LINE_HOST_CLOSED) {
      if (hostHolds) HostLeft();
      hostHolds = false;
      if (exiting) break;
      line_.Sleep(kClosedBackOffMs);
    } else {
      if (!hostHolds) HostCame();
      hostHolds = true;
    }
    if (wait == LINE_DATA) {
      const int count = line_.Read(chunk, kReadChunk);
      if (count > 0) {
        lastByteAt = now;
        if (!HandleBytes(chunk, count, now)) break;  // hung up
      }
    }
    if (wait == LINE_QUIET && reader_.InFrame() &&
        MsBetween(lastByteAt, now) >= options_.frameTimeoutMs) {
      if (!HandleEvent(reader_.Flush(), now)) break;
    }
    if (!exiting && ExitDue(now, lastByteAt)) {
      exiting = true;
      exitAt = now;
      if (!hostHolds) break;
    }
    if (exiting && MsBetween(exitAt, now) >= kHostLeaveMs) break;
  }
  EndServing();
}

bool SimController::ExitDue(Clock::time_point now, Clock::time_point lastByteAt) {
  if (options_.idleExitMs > 0 && MsBetween(lastByteAt, now) >= options_.idleExitMs) {
    std::lock_guard<std::mutex> lock(mutex_);
    Log(LOG_NOTE, "exiting: the line was quiet for " + std::to_string(options_.idleExitMs) + " ms");
    return true;
  }
  if (options_.exitAfter <= 0) return false;
  std::lock_guard<std::mutex> lock(mutex_);
  if (session_->Stats().transactionsEnded < options_.exitAfter) return false;
  Log(LOG_NOTE, "exiting after " + std::to_string(options_.exitAfter) + " transactions");
  return true;
}

void SimController::HostCame() {
  std::lock_guard<std::mutex> lock(mutex_);
  ++session_->Stats().lineOpens;
  Log(LOG_NOTE, "host opened the line");
  changed_.notify_all();
}

// Ends the transaction first, so that a frame the host left unfinished is
// only logged: no reply goes to a line nobody holds.
void SimController::HostLeft() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    session_->OnLineClosed();
    LogNote();
    changed_.notify_all();
  }
  HandleEvent(reader_.Flush(), Clock::now());
}

// Feeds the bytes of one read; each byte crosses the paced line after the one
// before it. Returns false when a fault hung the line up.
bool SimController::HandleBytes(const uint8_t* bytes, int count, Clock::time_point readAt) {
  const Clock::time_point base = std::max(rxDoneAt_, readAt);
  for (int i = 0; i < count; ++i) {
    const ReaderEvent event = reader_.Push(bytes[i]);
    if (event.kind == EVENT_NONE) continue;
    if (!HandleEvent(event, base + ByteTime() * (i + 1))) return false;
  }
  rxDoneAt_ = base + ByteTime() * count;
  return true;
}

Clock::duration SimController::ByteTime() const {
  if (options_.baud <= 0) return Clock::duration::zero();
  return std::chrono::duration_cast<Clock::duration>(
      std::chrono::duration<double>(10.0 / options_.baud));
}

bool SimController::HandleEvent(const ReaderEvent& event, Clock::time_point arrivedAt) {
  SimReply reply;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    switch (event.kind) {
      case EVENT_FRAME:
        LogBytes(LOG_FROM_HOST, event.bytes, event.length);
        reply = session_->OnFrame(DecodeHostFrame(event.form, event.bytes, event.length));
        break;
      case EVENT_BAD:
        LogBytes(LOG_FROM_HOST, event.bytes, event.length);
        reply = session_->OnBadFrame(event.reason);
        break;
      case EVENT_GARBAGE:
        LogBytes(LOG_FROM_HOST, event.bytes, event.length);
        session_->OnGarbage();
        break;
      case EVENT_NONE:
        return true;
    }
    LogNote();
    // A controller that reported a larger block size takes blocks of that size.
    reader_.SetMaxDataLength(std::max(kMaxSizedData, session_->BlockSize()));
    if (reply.stored != kNothingStored && !options_.saveDir.empty()) SaveStored(reply.stored);
    changed_.notify_all();
  }
  if (reply.hangUp) {
    line_.HangUp();
    std::lock_guard<std::mutex> lock(mutex_);
    session_->Stats().hungUp = true;
    Log(LOG_NOTE, "line hung up");
    return false;
  }
  if (reply.count > 0) Answer(reply, arrivedAt);
  return true;
}

// Writes a reply once the frame has crossed the paced line, the reply delay
// has passed and the reply itself has crossed it.
void SimController::Answer(const SimReply& reply, Clock::time_point arrivedAt) {
  const Clock::time_point at = std::max(arrivedAt, txDoneAt_) +
                               std::chrono::milliseconds(options_.replyDelayMs) +
                               ByteTime() * reply.count;
  if (!PaceUntil(at)) return;
  txDoneAt_ = at;
  const bool written = line_.HostHolds() && line_.Write(reply.bytes, reply.count);
  std::lock_guard<std::mutex> lock(mutex_);
  if (!written) {
    Log(LOG_NOTE, "reply " + Hex(reply.bytes, reply.count) + " dropped: the host closed the line");
    return;
  }
  LogBytes(LOG_TO_HOST, reply.bytes, reply.count);
}

// Returns false when Stop() came first.
bool SimController::PaceUntil(Clock::time_point until) {
  for (;;) {
    if (stopRequested_) return false;
    const Clock::time_point now = Clock::now();
    if (now >= until) return true;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - now).count();
    if (!line_.Sleep(static_cast<int>(left))) return false;
  }
}

// Called with mutex_ held: an area's image, or for -1 the settings image.
std::optional<SimImage> SimController::ImageOf(int area) const {
  return area < 0 ? session_->Received().settings : session_->Image(area);
}

void SimController::SaveStored(int area) {
  const std::optional<SimImage> image = ImageOf(area);
  if (!image) return;
  const Outcome outcome = WriteImage(options_.saveDir, *image);
  if (!outcome.ok) Log(LOG_NOTE, "error: " + outcome.message.en);
}

void SimController::EndServing() {
  line_.HangUp();
  std::lock_guard<std::mutex> lock(mutex_);
  running_ = false;
  session_->Stats().serving = false;
  Log(LOG_NOTE, "stopped serving");
  changed_.notify_all();
}

}  // namespace vqled
