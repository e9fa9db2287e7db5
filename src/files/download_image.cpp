#include "files/download_image.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

namespace vqled {
namespace {

Outcome NoSuchArea(int area) {
  const std::string n = std::to_string(area + 1);
  return Outcome::Fail({"分区 " + n + " 不存在，未生成下载图像",
                        "Area " + n + " does not exist; no download image was built"});
}

Outcome NoLayout(int valueKind) {
  const std::string k = std::to_string(valueKind);
  return Outcome::Fail({"数值类型 " + k + " 没有下载格式，未生成下载图像",
                        "Value kind " + k + " has no download layout; no image was built"});
}

Outcome EncodeForValueKind(PatternStore& store, const ModelProfile& profile,
                           const DownloadControls& controls, int area, ImageBuffer& image) {
  switch (profile.valueKind) {
    case VALUE_KIND_BIT:
      return EncodeBitImage(store, profile, controls, image);
    case VALUE_KIND_TIMED_BIT:
      return EncodeTimedBitImage(store, area, image);
    case VALUE_KIND_STEP:
      return EncodeStepImage(store, controls, image);
    case VALUE_KIND_BYTE:
    case VALUE_KIND_PERCENT_MARK:
      return EncodeAreaImage(store, profile, controls.header, area, image);
    case VALUE_KIND_GROUP:
      return EncodeGroupImage(store, controls, area, image);
    default:
      return NoLayout(profile.valueKind);
  }
}

// The item a list shows for a stored code: the code when it names one of the
// list's `count` items, otherwise no selection.
int ShownItem(int code, int count) {
  return code >= 0 && code < count ? code : -1;
}

}  // namespace

DownloadControls ShownDownloadControls(const PatternStore& store, int area,
                                       const HeaderControls& header) {
  DownloadControls shown;
  const PlaySettings& play = store.playSettings[area];
  if (play.loopMode >= LOOP_NEXT_AREA && play.loopMode <= LOOP_ONCE) {
    shown.radioButton3 = play.loopMode == LOOP_FOREVER;
    shown.radioButton2 = play.loopMode == LOOP_COUNT;
    shown.radioButton1 = play.loopMode == LOOP_ONCE;
    shown.edit6Text = std::to_string(play.loopCount);
  }
  const DefaultTime* times = store.defaultTime[area];
  shown.time1Text = std::to_string(times[0].value);
  shown.time2Text = std::to_string(times[1].value);
  shown.time3Text = std::to_string(times[2].value);
  shown.timeT1Index = ShownItem(times[0].unit, 3);
  shown.timeT2Index = ShownItem(times[1].unit, 3);
  shown.timeT3Index = ShownItem(times[2].unit, 3);
  shown.checkBox3 = play.endMode == 1;
  shown.header = header;
  return shown;
}

Outcome EncodeDownloadImage(PatternStore& store, const ModelProfile& profile,
                            const DownloadControls& controls, int area, ImageBuffer& image) {
  if (area < 0 || area >= kAreaCount) return NoSuchArea(area);
  Outcome built = EncodeForValueKind(store, profile, controls, area, image);
  if (!built.ok || !controls.checkBox4) return built;
  return WriteDebugImage(image);
}

Outcome WriteDebugImage(const ImageBuffer& image) {
  std::FILE* file = std::fopen(kDebugImageFile, "wb");
  int error = file ? 0 : errno;
  if (file) {
    const size_t count = static_cast<size_t>(image.imageLast + 1);
    if (std::fwrite(image.entry, 1, count, file) != count) error = errno;
    if (std::fclose(file) != 0 && error == 0) error = errno;
  }
  if (error == 0) return Outcome::Ok();
  std::error_code ignored;
  const std::string path = std::filesystem::absolute(kDebugImageFile, ignored).string();
  const std::string reason = std::strerror(error);
  return Outcome::Fail({"无法写入调试文件 " + path + "：" + reason,
                        "Cannot write the debug image " + path + ": " + reason});
}

}  // namespace vqled
