#include "cli_options.h"

#include "command.h"
#include "model/grid_layout.h"
#include "model/model_catalogue.h"
#include "model/pattern_store.h"

namespace vqled::cli {
namespace {

// "VQ-M00 .. VQ-M28": the names the catalogue knows.
std::string ModelRange() {
  return std::string(CatalogueRow(0).name) + " .. " + CatalogueRow(kModelCount - 1).name;
}

CLI::Validator ModelName() {
  return CLI::Validator(
      [](std::string& value) -> std::string {
        if (ModelIndexByName(value) >= 0) return {};
        return "unknown model '" + value + "' (" + ModelRange() + ")";
      },
      "", "model");
}

CLI::Validator NotEmpty() {
  return CLI::Validator(
      [](std::string& value) -> std::string { return value.empty() ? "needs a path" : ""; }, "",
      "not empty");
}

}  // namespace

void SetUpCommandApp(CLI::App& app) {
  app.failure_message([](const CLI::App* failed, const CLI::Error& e) {
    return failed->get_name() + ": " + e.what() + "\nRun with --help for more information.\n";
  });
}

int RefuseArguments(const CLI::App& app, const std::string& reason) {
  app.exit(CLI::ValidationError(reason));
  return kExitUsage;
}

CLI::Option* AddFileArgument(CLI::App& app, std::string& file) {
  return app.add_option("FILE", file, "the pattern file (.Aled, .bin, .VQD)")->required();
}

CLI::Option* AddModelOption(CLI::App& app, int& modelIndex) {
  return app
      .add_option_function<std::string>(
          "--model",
          [&modelIndex](const std::string& name) { modelIndex = ModelIndexByName(name); },
          "the controller model, " + ModelRange())
      ->type_name("VQ-Mnn")
      ->check(ModelName());
}

CLI::Option* AddAreaOption(CLI::App& app, int& area) {
  return app.add_option("--area", area, "the area, counted from 0")
      ->type_name("I")
      ->check(CLI::Range(0, kAreaCount - 1));
}

CLI::Option* AddControllersOption(CLI::App& app, int& count) {
  return app
      .add_option("--controllers", count,
                  "the controller count of a model with several (default 1)")
      ->type_name("K")
      ->check(CLI::Range(1, kMaxControllers));
}

CLI::Option* AddOutOption(CLI::App& app, std::string& out, const std::string& description) {
  return app.add_option("--out", out, description)->type_name("PATH")->check(NotEmpty());
}

CLI::Option* AddJsonOption(CLI::App& app, bool& json) {
  return app.add_flag("--json", json, "write the report as JSON on stdout");
}

void AddLinkOptions(CLI::App& app, LinkArgs& args, bool needModel) {
  app.add_option("--port", args.port, "the serial device of the controller")
      ->type_name("DEV")
      ->required();
  if (needModel) AddModelOption(app, args.modelIndex)->required();
}

}  // namespace vqled::cli
