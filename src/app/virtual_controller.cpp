#include "virtual_controller.h"

#include <optional>
#include <stdexcept>

#include "engine/sim_options.h"
#include "files/area_reader.h"
#include "model/model_catalogue.h"

namespace vqled {
namespace {

constexpr const char* kEntryZh = "虚拟控制器";
constexpr const char* kEntryEn = "Virtual controller";

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

// The value kinds whose download image is the canonical area image.
bool CanonicalKind(int valueKind) {
  return valueKind == 3 || valueKind == 7;
}

// The controller's complete image of the area, else its complete image of
// the lowest area it has.
std::optional<SimImage> ImageToPlay(const SimController& sim, int area) {
  std::optional<SimImage> image = sim.Image(area);
  if (image && image->complete) return image;
  for (SimImage& stored : sim.Images())
    if (stored.complete) return std::move(stored);
  return std::nullopt;
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
  options.profile = SimModelProfile(modelIndex);
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

Outcome LoadPlayback(const VirtualController& controller, int valueKind, int area,
                     VirtualPlayback& playback) {
  const SimController* sim = controller.controller();
  std::optional<SimImage> image;
  if (sim) image = ImageToPlay(*sim, area);
  if (!image)
    return Outcome::Fail(
        {"虚拟控制器还没有收到花样", "the virtual controller has received no pattern yet"});
  if (!CanonicalKind(valueKind))
    return Outcome::Fail({"虚拟控制器不能回放这个型号的花样",
                          "the virtual controller cannot play back the patterns of this model"});
  PatternStore& store = playback.store;
  const std::vector<uint8_t>& bytes = image->bytes;
  if (DecodeAreaImage(store, bytes.data(), bytes.size(), 0, READER_ALL_AREAS) == 0)
    return Outcome::Fail({"虚拟控制器收到的花样读不出来",
                          "the pattern the virtual controller received does not read back"});
  store.currentArea = 0;
  store.gridRowCount = std::min(store.scanRowCount + kHeaderRows, kRowsPerArea);
  store.gridColumnCount = kColumnsPerArea;
  playback.area = image->area;
  if (!TogglePreview(playback.player, store))
    return Outcome::Fail(
        {"虚拟控制器收到的花样是空的", "the pattern the virtual controller received is empty"});
  return Outcome::Ok();
}

}  // namespace vqled
