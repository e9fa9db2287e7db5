#include "link_driver.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "command.h"
#include "link/serial_comm.h"
#include "model/model_catalogue.h"
#include "model/model_selection.h"

namespace vqled::cli {
namespace {

constexpr int kTextVariant = 1;  // the English texts, as the program starts
// With no timer running and nothing received for this long the link has
// nothing left to wait for.
constexpr int kIdleLimitMs = 5000;

}  // namespace

CliHost::CliHost(std::string portText, ModelProfile& profile, PatternStore& store)
    : portText_(std::move(portText)), profile_(profile), store_(store) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
    wakeRead_ = fds[0];
    wakeWrite_ = fds[1];
  }
}

CliHost::~CliHost() {
  if (wakeRead_ >= 0) close(wakeRead_);
  if (wakeWrite_ >= 0) close(wakeWrite_);
}

void CliHost::SetStatus(const Text& text) {
  lastStatus_ = text.For(kTextVariant);
  const bool number =
      !lastStatus_.empty() && lastStatus_.find_first_not_of("0123456789") == std::string::npos;
  if (number && progressShown_) {
    // Block and area numbers follow the progress bar on its own line.
    counter_ = lastStatus_;
    PrintProgress();
    return;
  }
  counter_.clear();
  if (progressShown_) std::fputc('\n', stderr);
  progressShown_ = false;
  std::fprintf(stderr, "%s\n", lastStatus_.c_str());
}

void CliHost::SetAreaLabel(const Text& text) {
  std::fprintf(stderr, "area %s\n", text.For(kTextVariant).c_str());
}

void CliHost::SetProgress(int position) {
  progress_ = position;
  PrintProgress();
}

void CliHost::PrintProgress() {
  constexpr int kWidth = 40;
  const int filled = progress_ * kWidth / 100;
  char bar[kWidth + 1];
  for (int i = 0; i < kWidth; ++i) bar[i] = i < filled ? '#' : '.';
  bar[kWidth] = '\0';
  std::fprintf(stderr, "\r[%s] %3d%%  %-8s", bar, progress_,
               counter_.empty() ? "" : ("#" + counter_).c_str());
  progressShown_ = true;
}

void CliHost::ShowMessage(const Text& text, const Text& caption) {
  if (progressShown_) std::fputc('\n', stderr);
  progressShown_ = false;
  std::fprintf(stderr, "%s: %s\n", caption.For(kTextVariant).c_str(),
               text.For(kTextVariant).c_str());
}

void CliHost::StartTimer(LinkTimer timer, int intervalMs) {
  Timer& t = Slot(timer);
  t.running = true;
  t.intervalMs = intervalMs;
  t.due = Clock::now() + std::chrono::milliseconds(intervalMs);
}

void CliHost::StopTimer(LinkTimer timer) {
  Slot(timer).running = false;
}

void CliHost::SwitchToModelVQM28() {
  ApplyModelProfile(profile_, store_, kModelVQM28);
}

LocalTime CliHost::LocalNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
          local.tm_hour,        local.tm_min,     local.tm_sec};
}

int64_t CliHost::NowSeconds() {
  return std::chrono::duration_cast<std::chrono::seconds>(Clock::now().time_since_epoch()).count();
}

// Watch thread: a write to the wake pipe is all it does.
void CliHost::PostReceive(uint32_t port) {
  if (wakeWrite_ < 0) return;
  const ssize_t ignored = write(wakeWrite_, &port, sizeof port);
  (void)ignored;  // a full pipe already holds a wake-up
}

void CliHost::DispatchPosted(ControllerLink& link) {
  uint32_t port = 0;
  while (!stopped_ && read(wakeRead_, &port, sizeof port) == sizeof port) link.OnCommReceive(port);
}

void CliHost::FireDueTimers(ControllerLink& link) {
  for (int slot = 0; slot < 2 && !stopped_; ++slot) {
    Timer& t = timers_[slot];
    if (!t.running || Clock::now() < t.due) continue;
    t.due += std::chrono::milliseconds(t.intervalMs);
    if (slot == 0) {
      link.Timer1Timer();
    } else {
      link.Timer5Timer();
    }
  }
}

int CliHost::MsUntilNextTimer() const {
  int wait = kIdleLimitMs;
  const auto now = Clock::now();
  for (const Timer& t : timers_) {
    if (!t.running) continue;
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(t.due - now).count();
    wait = std::min<int>(wait, ms < 0 ? 0 : static_cast<int>(ms));
  }
  return wait;
}

int CliHost::RunUntilStopped(ControllerLink& link, const char* successText) {
  auto lastEvent = Clock::now();
  while (!stopped_) {
    pollfd wake{wakeRead_, POLLIN, 0};
    const int ready = poll(&wake, 1, MsUntilNextTimer() + 1);
    if (ready > 0) {
      DispatchPosted(link);
      lastEvent = Clock::now();
    }
    FireDueTimers(link);
    const bool timing = timers_[0].running || timers_[1].running;
    if (!timing && Clock::now() - lastEvent > std::chrono::milliseconds(kIdleLimitMs)) break;
  }
  if (progressShown_) std::fputc('\n', stderr);
  progressShown_ = false;
  if (link.port().IsOpen()) link.EndTransaction();
  return lastStatus_ == successText ? kExitOk : kExitFailure;
}

LinkSession::LinkSession(const LinkArgs& args) {
  doc.ResetStartupAreas();
  doc.SelectModel(args.modelIndex, args.controllerCount);
  host = std::make_unique<CliHost>(args.port, doc.profile(), doc.store());
  link = std::make_unique<ControllerLink>(
      *host, std::make_unique<SerialComm>(), doc.store(), doc.profile(), doc.image(),
      [this](int area, ImageBuffer& buffer) {
        if (!encode) return Outcome::Fail({"没有可发送的花样", "no pattern to send"});
        return encode(area, buffer);
      });
}

}  // namespace vqled::cli
