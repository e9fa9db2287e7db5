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

}  // namespace

DownloadControls DownloadControlsFromArea(const AreaControls& shown, const HeaderControls& header) {
  DownloadControls controls;
  controls.radioButton1 = shown.loopButton == LOOP_ONCE;
  controls.radioButton2 = shown.loopButton == LOOP_COUNT;
  controls.radioButton3 = shown.loopButton == LOOP_FOREVER;
  controls.edit6Text = shown.edit6;
  controls.time1Text = shown.timeText[0];
  controls.time2Text = shown.timeText[1];
  controls.time3Text = shown.timeText[2];
  controls.timeT1Index = shown.timeUnitIndex[0];
  controls.timeT2Index = shown.timeUnitIndex[1];
  controls.timeT3Index = shown.timeUnitIndex[2];
  controls.checkBox3 = shown.checkBox3Checked;
  controls.header = header;
  return controls;
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
