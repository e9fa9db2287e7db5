#include "link_driver.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

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

namespace {

// Takes "--port DEV" or "--model VQ-Mnn" at argv[i].
bool TakeLinkArg(int argc, char** argv, int& i, LinkArgs& args, std::string& error) {
  const bool isPort = std::strcmp(argv[i], "--port") == 0;
  const bool isModel = std::strcmp(argv[i], "--model") == 0;
  if (!isPort && !isModel) return false;
  if (i + 1 >= argc) {
    error = std::string(argv[i]) + " needs a value";
    return true;
  }
  const std::string value = argv[++i];
  if (isPort) {
    args.port = value;
  } else {
    args.modelIndex = ModelIndexByName(value);
    if (args.modelIndex < 0) error = "unknown model '" + value + "' (VQ-M00 .. VQ-M28)";
  }
  return true;
}

}  // namespace

int ParseLinkArgs(int argc, char** argv, const char* usage, bool needModel, LinkArgs& args,
                  const ExtraArg& extra) {
  std::string error;
  for (int i = 1; i < argc && error.empty(); ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::printf("usage: %s\n", usage);
      return kExitOk;
    }
    if (TakeLinkArg(argc, argv, i, args, error)) continue;
    if (extra && extra(argc, argv, i, error)) continue;
    error = std::string("unexpected argument '") + argv[i] + "'";
  }
  if (error.empty() && args.port.empty()) error = "--port is missing";
  if (error.empty() && needModel && args.modelIndex < 0) error = "--model is missing";
  if (error.empty()) return kProceed;
  std::fprintf(stderr, "vqled-cli %s: %s\nusage: %s\n", argv[0], error.c_str(), usage);
  return kExitUsage;
}

bool ParseEndDate(const char* text, LocalTime& date) {
  int year = 0, month = 0, day = 0;
  char tail = 0;
  if (std::sscanf(text, "%4d-%2d-%2d%c", &year, &month, &day, &tail) != 3) return false;
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
