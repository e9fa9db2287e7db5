#include "link_driver.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "command.h"
#include "link/serial_comm.h"
#include "model/model_catalogue.h"
#include "model/model_selection.h"

namespace vqled::cli {
namespace {

constexpr int kTextVariant = 1;  // the English texts, as the program starts

}  // namespace

CliHost::CliHost(std::string portText, ModelProfile& profile, PatternStore& store)
    : PolledLinkHost(std::move(portText), SteadyLoopClock()), profile_(profile), store_(store) {}

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

void CliHost::SwitchToModelVQM28() {
  ApplyModelProfile(profile_, store_, kModelVQM28);
}

int CliHost::RunUntilStopped(ControllerLink& link, const char* successText) {
  const PolledLink one[] = {{this, &link}};
  while (!Finished()) PollLinks(one, kIdleLimitMs);
  if (progressShown_) std::fputc('\n', stderr);
  progressShown_ = false;
  if (link.port().IsOpen()) link.EndTransaction();
  return lastStatus_ == successText ? kExitOk : kExitFailure;
}

bool ParseEndDate(const char* text, LocalTime& date) {
  int year = 0, month = 0, day = 0;
  char tail = 0;
  if (std::sscanf(text, "%4d-%2d-%2d%c", &year, &month, &day, &tail) != 3) return false;
  // The frame carries the year within the century, so the date must lie in
  // 2000..2099, and a 29 February only in a leap year.
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 2000 || year > 2099 || month < 1 || month > 12) return false;
  const bool leapDay = month == 2 && year % 4 == 0;  // 2000 is a leap year
  if (day < 1 || day > kDays[month - 1] + (leapDay ? 1 : 0)) return false;
  date = {year, month, day, 0, 0, 0};
  return true;
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
