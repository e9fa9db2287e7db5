#include "files/download_common.h"

#include <algorithm>

#include "model/integer_text.h"

namespace vqled::download {

void ImageWriter::ChannelCells(const PatternStore& store, int area, int column, int channels) {
  const int rowsInArea = std::min(channels, kRowsPerArea - kHeaderRows);
  for (int ch = 0; ch < rowsInArea; ++ch) Byte(store.Cell(area, kHeaderRows + ch, column));
  Zeros(channels - rowsInArea);
}

Outcome CheckImageSize(int64_t bytes, int area) {
  if (bytes <= kImageCapacity) return Outcome::Ok();
  const std::string n = std::to_string(area + 1);
  const std::string b = std::to_string(bytes);
  const std::string cap = std::to_string(kImageCapacity);
  return Outcome::Fail(
      {"分区 " + n + " 的下载图像有 " + b + " 字节，超出图像缓冲区的 " + cap + " 字节，未生成图像",
       "The download image of area " + n + " needs " + b + " bytes, more than the " + cap +
           " bytes of the image buffer; no image was built"});
}

Outcome ConvertControlText(const std::string& text, const char* control, int& value) {
  Outcome read = ReadInteger(text, value);
  if (!read.ok) {
    const std::string name = control;
    read.message.zh = name + "：" + read.message.zh + "，未生成下载图像";
    read.message.en = name + ": " + read.message.en + "; no image was built";
  }
  return read;
}

Outcome ReadCompactNumbers(const DownloadControls& controls, int timeCount,
                           CompactNumbers& numbers) {
  Outcome read = ConvertControlText(controls.edit6Text, "Edit6", numbers.loopCount);
  const std::string* texts[] = {&controls.time1Text, &controls.time2Text, &controls.time3Text};
  const char* names[] = {"time1", "time2", "time3"};
  for (int k = 0; read.ok && k < timeCount; ++k)
    read = ConvertControlText(*texts[k], names[k], numbers.time[k]);
  return read;
}

int CompactLoopCode(const DownloadControls& controls) {
  if (controls.radioButton3) return 0;
  if (controls.radioButton2) return 1;
  if (controls.radioButton1) return 2;
  return -1;
}

void WriteAreaSettings(ImageWriter& out, const PatternStore& store, int area, int channels,
                       int frames) {
  out.Word(channels);
  out.Word(frames);
  for (const DefaultTime& time : store.defaultTime[area]) {
    out.Word(time.value);
    out.Byte(time.unit);
  }
  const PlaySettings& play = store.playSettings[area];
  out.Byte(play.enabled);
  out.Byte(play.loopMode);
  out.Word(play.loopCount);
}

}  // namespace vqled::download
