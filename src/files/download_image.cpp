#include "files/download_image.h"

#include <filesystem>
#include <string>

#include "files/file_io.h"

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
  std::error_code ignored;
  SafeFileWriter file(std::filesystem::absolute(kDebugImageFile, ignored).string());
  if (Outcome opened = file.Open(); !opened.ok) return opened;
  file.Write(image.entry, static_cast<size_t>(image.imageLast + 1));
  return file.Commit();
}

}  // namespace vqled
