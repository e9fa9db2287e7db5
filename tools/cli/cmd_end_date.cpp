// vqled-cli end-date: sends the countdown end date; a date before today is
// refused as the window refuses it.
#include <cstdio>
#include <cstring>

#include "command.h"
#include "link_driver.h"

namespace vqled::cli {
namespace {

constexpr const char* kUsage = "vqled-cli end-date --port DEV --model VQ-Mnn --date YYYY-MM-DD";

bool ParseDate(const char* text, LocalTime& date) {
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

int RunEndDate(int argc, char** argv) {
  LinkArgs args;
  LocalTime date;
  bool haveDate = false;
  const int parsed = ParseLinkArgs(argc, argv, kUsage, true, args,
                                   [&](int n, char** v, int& i, std::string& error) {
                                     if (std::strcmp(v[i], "--date") != 0) return false;
                                     haveDate = i + 1 < n && ParseDate(v[++i], date);
                                     if (!haveDate)
                                       error = "--date needs a date YYYY-MM-DD in 2000..2099";
                                     return true;
                                   });
  if (parsed != kProceed) return parsed;
  if (!haveDate) {
    std::fprintf(stderr, "vqled-cli end-date: --date is missing\nusage: %s\n", kUsage);
    return kExitUsage;
  }
  LinkSession session(args);
  session.host->endDate = date;
  session.link->DataTimeTimer();  // the day count the check reads
  session.link->BitBtn19Click();
  return session.host->RunUntilStopped(*session.link, "Set End Date Send OK !!!!");
}

const CommandRegistration reg{"end-date", "send the countdown end date", &RunEndDate};

}  // namespace
}  // namespace vqled::cli
