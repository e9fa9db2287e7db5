#include "virtual_playback.h"

#include <algorithm>
#include <optional>

#include "files/area_reader.h"
#include "model/model_catalogue.h"

namespace vqled {
namespace {

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

Outcome LoadPlayback(const VirtualController& controller, int valueKind, int area,
                     VirtualPlayback& playback) {
  const SimController* sim = controller.controller();
  std::optional<SimImage> image;
  if (sim) image = ImageToPlay(*sim, area);
  if (!image)
    return Outcome::Fail(
        {"虚拟控制器还没有收到花样", "the virtual controller has received no pattern yet"});
  if (!HasCanonicalImage(valueKind))
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
