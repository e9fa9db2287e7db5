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

// The value of --date read into date; the reason when it is none.
CLI::Validator DateInto(LocalTime& date) {
  return CLI::Validator(
      [&date](std::string& text) -> std::string {
        return ParseEndDate(text.c_str(), date) ? "" : "needs a date YYYY-MM-DD in 2000..2099";
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
