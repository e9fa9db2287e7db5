#include "sim/virtual_controller.h"

#include <stdexcept>

#include "model/model_catalogue.h"
#include "sim/sim_options.h"

namespace vqled {
namespace {

constexpr const char* kEntryZh = "虚拟控制器";
constexpr const char* kEntryEn = "Virtual controller";

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

VirtualController::VirtualController() = default;
VirtualController::~VirtualController() = default;

Text VirtualController::EntryText(int modelIndex) {
  const std::string model = CatalogueRow(modelIndex).name;
  return {std::string(kEntryZh) + " (" + model + ")", std::string(kEntryEn) + " (" + model + ")"};
}

bool VirtualController::IsEntry(std::string_view portText) {
  return StartsWith(portText, kEntryZh) || StartsWith(portText, kEntryEn);
}

Outcome VirtualController::Attach(int modelIndex, std::string& device) {
  if (sim_ && sim_->Running() && modelIndex == modelIndex_) {
    device = sim_->DevicePath();
    return Outcome::Ok();
  }
  sim_.reset();
  SimOptions options;
  options.profile = CatalogueProfile(modelIndex);
  options.faults = faults_;
  auto sim = std::make_unique<SimController>(options);
  try {
    device = sim->Start();
  } catch (const std::runtime_error& error) {
    return Outcome::Fail({std::string("虚拟控制器无法启动：") + error.what(),
                          std::string("the virtual controller cannot start: ") + error.what()});
  }
  sim_ = std::move(sim);
  modelIndex_ = modelIndex;
  return Outcome::Ok();
}

void VirtualController::SetFaults(const SimFaults& faults) {
  faults_ = faults;
  sim_.reset();
}

}  // namespace vqled
