// vqled-cli end-date: sends the countdown end date; a date before today is
// refused as the window refuses it.
#include <cstdio>

#include "cli_options.h"
#include "cli_parse.h"
#include "command.h"
#include "link_driver.h"

namespace vqled::cli {
namespace {

constexpr const char* kSummary = "send the countdown end date";

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

// The value of --date read into date; the reason when it is none.
CLI::Validator DateInto(LocalTime& date) {
  return CLI::Validator(
      [&date](std::string& text) -> std::string {
        return ParseDate(text.c_str(), date) ? "" : "needs a date YYYY-MM-DD in 2000..2099";
      },
      "", "date");
}

int RunEndDate(int argc, char** argv) {
  CLI::App app{kSummary, "vqled-cli end-date"};
  SetUpCommandApp(app);
  LinkArgs args;
  LocalTime date;
  std::string dateText;
  AddLinkOptions(app, args, true);
  app.add_option("--date", dateText, "the last day of the countdown, in 2000..2099")
      ->type_name("YYYY-MM-DD")
      ->required()
      ->check(DateInto(date));
  if (const auto status = ParseCommandLine(app, argc, argv)) return *status;
  LinkSession session(args);
  session.host->endDate = date;
  session.link->DataTimeTimer();  // the day count the check reads
  session.link->BitBtn19Click();
  return session.host->RunUntilStopped(*session.link, "Set End Date Send OK !!!!");
}

const CommandRegistration reg{"end-date", kSummary, &RunEndDate};

}  // namespace
}  // namespace vqled::cli
