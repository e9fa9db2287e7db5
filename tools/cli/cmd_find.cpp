// vqled-cli find: which serial ports a controller of the model answers on.
// Every candidate port gets the model's download probe once, all at the same
// moment, and the replies of the next two seconds decide; nothing else is
// ever sent.
#include <cstdio>
#include <memory>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>

#include "cli_parse.h"
#include "command.h"
#include "link/port_finder.h"
#include "link/port_source.h"
#include "model/model_catalogue.h"

namespace vqled::cli {
namespace {

struct FindArgs {
  std::string model;
  std::string folder;
  bool json = false;
};

const char* ResultName(FindResult result) {
  switch (result) {
    case FIND_ANSWERED:
      return "answered";
    case FIND_SILENT:
      return "silent";
    case FIND_OTHER_REPLY:
      return "other-reply";
    case FIND_UNUSABLE:
      return "unusable";
  }
  return "unusable";
}

nlohmann::json AnswerJson(const PortAnswer& answer) {
  nlohmann::json port = {{"device", answer.port.device}, {"result", ResultName(answer.result)}};
  if (!answer.port.byId.empty()) port["byId"] = answer.port.byId;
  if (!answer.port.usbId.empty()) port["usb"] = answer.port.usbId;
  if (answer.result == FIND_ANSWERED || answer.result == FIND_OTHER_REPLY) {
    char code[3];
    std::snprintf(code, sizeof code, "%02X", answer.reply);
    port["reply"] = code;
  }
  if (answer.blockSize >= 0) port["blockSize"] = answer.blockSize;
  if (answer.result != FIND_ANSWERED) port["reason"] = answer.why.en;
  return port;
}

void PrintJson(const FindArgs& args, const std::vector<PortAnswer>& answers) {
  nlohmann::json ports = nlohmann::json::array();
  nlohmann::json found = nlohmann::json::array();
  for (const PortAnswer& answer : answers) {
    ports.push_back(AnswerJson(answer));
    if (answer.result == FIND_ANSWERED) found.push_back(answer.port.device);
  }
  const nlohmann::json report = {{"model", args.model}, {"found", found}, {"ports", ports}};
  std::printf("%s\n", report.dump(2).c_str());
}

// The controllers found on stdout; the ports without one on stderr.
void PrintText(const std::vector<PortAnswer>& answers) {
  for (const PortAnswer& answer : answers)
    std::fprintf(answer.result == FIND_ANSWERED ? stdout : stderr, "%s\n",
                 DescribeAnswer(answer).en.c_str());
}

std::unique_ptr<PortSource> OpenSource(const FindArgs& args) {
  if (!args.folder.empty()) return MakeFolderPortSource(args.folder);
  try {
    return MakeSystemPortSource();
  } catch (const std::runtime_error& e) {
    std::fprintf(stderr, "vqled-cli find: cannot list the serial ports: %s\n", e.what());
    return nullptr;
  }
}

int RunFind(int argc, char** argv) {
  FindArgs args;
  CLI::App app{
      "Sends the model's probe to every serial port at once and reports the ports a "
      "controller answered on within 2 s; no other command is sent.",
      "vqled-cli find"};
  app.add_option("--model", args.model, "the controller's model, VQ-M00 .. VQ-M28")->required();
  app.add_option("--dir", args.folder,
                 "search the device links in FOLDER (as /dev/serial/by-id) in place of the "
                 "system's ports")
      ->check(CLI::ExistingDirectory);
  app.add_flag("--json", args.json, "report every port searched as JSON on stdout");
  if (const auto status = ParseCommandLine(app, argc, argv)) return *status;
  const int modelIndex = ModelIndexByName(args.model);
  if (modelIndex < 0) {
    std::fprintf(stderr, "vqled-cli find: unknown model '%s' (VQ-M00 .. VQ-M28)\n",
                 args.model.c_str());
    return kExitUsage;
  }

  const std::unique_ptr<PortSource> source = OpenSource(args);
  if (!source) return kExitFailure;
  const std::vector<PortRecord> candidates = FindCandidates(source->List());
  const std::vector<PortAnswer> answers = FindControllers(candidates, modelIndex);
  if (args.json) {
    PrintJson(args, answers);
  } else {
    PrintText(answers);
  }
  if (FirstAnswered(answers) != nullptr) return kExitOk;
  if (!args.json) {
    std::fprintf(stderr, "vqled-cli find: no controller answered on %zu serial port%s\n",
                 candidates.size(), candidates.size() == 1 ? "" : "s");
  }
  return kExitFailure;
}

const CommandRegistration reg{"find", "find the serial ports a controller answers on", &RunFind};

}  // namespace
}  // namespace vqled::cli
