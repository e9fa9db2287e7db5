#include "files/pattern_files.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "files/file_io.h"
#include "model/area_settings.h"

namespace vqled {
namespace {

constexpr int kLedIndexBytes = 2;  // ComboBox6 and ComboBox4 indexes ahead of a .led image

// Names the image a fault was found in: "area 3" of a multi-area file, or
// "the image" of a single-area one (imageIndex -1).
Text ImageName(int imageIndex) {
  if (imageIndex < 0) return {"花样图像", "the image"};
  const std::string n = std::to_string(imageIndex + 1);
  return {"第 " + n + " 区", "area " + n};
}

Text FaultReason(const ImageExtent& extent, int imageIndex) {
  const Text image = ImageName(imageIndex);
  const std::string have = std::to_string(extent.available);
  const std::string need = std::to_string(extent.length);
  switch (extent.fault) {
    case IMAGE_FAULT_SHORT_HEADER:
      return {image.zh + "的头部不完整（只剩 " + have + " 字节，需要 30 字节）",
              "the header of " + image.en + " is cut short (" + have + " of 30 bytes)"};
    case IMAGE_FAULT_SHORT_FRAMES:
      return {image.zh + "需要 " + need + " 字节，文件只剩 " + have + " 字节",
              image.en + " announces " + need + " bytes but only " + have + " remain"};
    case IMAGE_FAULT_CHANNELS: {
      const std::string n = std::to_string(extent.channels);
      return {image.zh + "有 " + n + " 路，超过一个分区的 1021 路",
              image.en + " has " + n + " channels, more than the 1021 an area holds"};
    }
    default: {
      const std::string f = std::to_string(extent.frames);
      return {image.zh + "有 " + f + " 帧，超过一个分区的 4008 帧",
              image.en + " has " + f + " frames, more than the 4008 an area holds"};
    }
  }
}

Outcome Refused(const std::string& name, const ImageExtent& extent, int imageIndex) {
  const Text reason = FaultReason(extent, imageIndex);
  return Outcome::Fail(
      {"文件 " + name + " 无法读入：" + reason.zh + "；所有分区保持不变",
       "The file " + name + " cannot be read: " + reason.en + "; no area was changed"});
}

// "area 3" or "areas 15 to 20", counted from 1.
Text AreaRange(int first, int last) {
  const std::string a = std::to_string(first + 1);
  if (first == last) return {"第 " + a + " 区", "area " + a};
  const std::string b = std::to_string(last + 1);
  return {"第 " + a + "–" + b + " 区", "areas " + a + " to " + b};
}

void Append(Text& text, const Text& part, const char* zhSeparator, const char* enSeparator) {
  text.zh += (text.zh.empty() ? "" : zhSeparator) + part.zh;
  text.en += (text.en.empty() ? "" : enSeparator) + part.en;
}

// What a multi-area read of the leading `read` images left out: the areas
// from the image at stop on, and the channels past 1021 of wide images.
// Empty when nothing was left out.
Text LeftOut(int read, const ImageExtent& stop, const int (&channels)[kAreaCount]) {
  Text parts;
  if (read < kAreaCount) {
    const Text done = AreaRange(0, read - 1);
    const Text missed = AreaRange(read, kAreaCount - 1);
    const Text reason = FaultReason(stop, read);
    Append(parts,
           {"读入了" + done.zh + "；" + missed.zh + "未读入（" + reason.zh + "），保持不变",
            done.en + (read == 1 ? " was" : " were") + " read; " + missed.en +
                (read == kAreaCount - 1 ? " was" : " were") + " not (" + reason.en + ") and kept " +
                (read == kAreaCount - 1 ? "its" : "their") + " content"},
           "；", "; ");
  }
  const std::string kept = std::to_string(kMaxChannels);
  for (int area = 0; area < read; ++area) {
    if (channels[area] <= kMaxChannels) continue;
    const Text image = ImageName(area);
    const std::string n = std::to_string(channels[area]);
    const std::string first = std::to_string(kMaxChannels + 1);
    Append(parts,
           {image.zh + "有 " + n + " 路，只读入前 " + kept + " 路，第 " + first + "–" + n +
                " 路未读入",
            image.en + " has " + n + " channels: only the first " + kept + " were read, channels " +
                first + " to " + n + " were left out"},
           "；", "; ");
  }
  if (parts.empty()) return parts;
  return {"只读入了一部分：" + parts.zh, "was read only in part: " + parts.en};
}

// Locates up to count images from offset on, stopping at the first that
// cannot be read, or (when wholeOnly) at the first that is not whole; returns
// the extent of the image it stopped at (no fault when all were located).
ImageExtent Locate(const uint8_t* data, size_t size, size_t offset, int count, bool wholeOnly,
                   ImageOffsets& images) {
  images.count = 0;
  for (int i = 0; i < count; ++i) {
    const ImageExtent extent = CheckAreaImage(data + offset, size - offset);
    const bool readable =
        extent.fault == IMAGE_FAULT_NONE || (!wholeOnly && extent.fault == IMAGE_FAULT_CHANNELS);
    if (!readable) return extent;
    images.offset[images.count++] = offset;
    offset += extent.length;
  }
  return {};
}

Outcome Refusal(const SaveRefusal& refusal) {
  return Outcome::Fail(refusal.text);
}

// Takes the loop count into the current area's play settings; a text that is
// not a number stops the save before any file is touched.
Outcome TakeLoopCount(PatternStore& store, LoopCountEntry entry) {
  if (!entry.converted) return StoreLoopCount(store, entry.countText);
  store.playSettings[store.currentArea].loopCount = entry.value;
  return Outcome::Ok();
}

void WriteImage(SafeFileWriter& file, const ImageBuffer& image) {
  file.Write(image.entry, static_cast<size_t>(image.imageLast) + 1);
}

// tempRGB.bin and .Aled: the images of areas 0..19 back to back.
Outcome WriteAllAreas(PatternStore& store, const EncodeContext& context, const std::string& path,
                      SaveLog* log) {
  SafeFileWriter file(path);
  if (Outcome opened = file.Open(); !opened.ok) return opened;
  if (log != nullptr) log->count = 0;
  for (int area = 0; area < kAreaCount; ++area) {
    if (Outcome built =
            EncodeAreaImage(store, context.profile, context.controls, area, context.image);
        !built.ok) {
      return built;
    }
    if (log != nullptr) log->line[log->count++] = {context.image.imageLast, context.image.entry[0]};
    WriteImage(file, context.image);
  }
  return file.Commit();
}

// .led (with the two index bytes) and .VQD (without): the current area.
Outcome WriteCurrentArea(PatternStore& store, const EncodeContext& context,
                         LoopCountEntry loopCount, const uint8_t* prefix, size_t prefixSize,
                         const std::string& path) {
  if (Outcome stored = TakeLoopCount(store, loopCount); !stored.ok) return stored;
  if (Outcome built = EncodeAreaImage(store, context.profile, context.controls, store.currentArea,
                                      context.image);
      !built.ok) {
    return built;
  }
  SafeFileWriter file(path);
  if (Outcome opened = file.Open(); !opened.ok) return opened;
  file.Write(prefix, prefixSize);
  WriteImage(file, context.image);
  return file.Commit();
}

Outcome ReadFileThen(const std::string& path,
                     Outcome (*read)(PatternStore&, const uint8_t*, size_t, const std::string&),
                     PatternStore& store) {
  std::vector<uint8_t> bytes;
  if (Outcome got = ReadWholeFile(path, bytes); !got.ok) return got;
  return read(store, bytes.data(), bytes.size(), path);
}

// The one image of a .led or .VQD file into the current area, cleared once
// the image is checked.
Outcome ReadOneImage(PatternStore& store, const uint8_t* data, size_t size, PatternFileKind kind,
                     const std::string& name) {
  ImageOffsets images;
  if (Outcome located = LocateImages(data, size, kind, name, images); !located.ok) return located;
  ClearCurrentArea(store);
  const size_t at = images.offset[0];
  DecodeAreaImage(store, data + at, size - at, store.currentArea, READER_SINGLE_AREA);
  return Outcome::Ok();
}

Outcome ReadAledImages(PatternStore& store, const uint8_t* data, size_t size,
                       const std::string& name) {
  return ReadAllAreaImages(store, data, size, READER_ALL_AREAS, name);
}

}  // namespace

SaveRefusal CheckContentToSave(PatternStore& store, SaveCommand command) {
  if (AnyAreaHasContent(store)) return {};
  if (command == SAVE_ALL_AREAS)
    return {true, {"沒有花樣發送", "No Data"}, {"沒有花樣", "No Data"}};
  return {true, {"没有花样内容", "没有花样内容"}, {"保存出错", "保存出错"}};
}

std::string ReplaceExtension(const std::string& path, std::string_view extension) {
  const size_t slash = path.find_last_of('/');
  const size_t dot = path.find_last_of('.');
  const bool hasExtension =
      dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
  return (hasExtension ? path.substr(0, dot) : path) + std::string(extension);
}

std::string ExportProposedName(int modelIndex, int currentArea) {
  constexpr int kModelVQM21 = 21;
  if (modelIndex != kModelVQM21) return {};
  return "EXP_" + std::to_string(currentArea + 1);
}

Outcome SaveResumeFile(PatternStore& store, const EncodeContext& context, const std::string& path,
                       SaveLog* log) {
  return WriteAllAreas(store, context, path, log);
}

Outcome SaveAllAreas(PatternStore& store, const EncodeContext& context, const std::string& path,
                     SaveLog* log) {
  if (SaveRefusal refusal = CheckContentToSave(store, SAVE_ALL_AREAS); refusal.refused) {
    return Refusal(refusal);
  }
  return WriteAllAreas(store, context, path, log);
}

// .led layout:
//   offset  size  field
//   0       1     ComboBox6 item index (the model), low 8 bits (-1 gives 255)
//   1       1     ComboBox4 item index (controller count - 1), low 8 bits
//   2       ...   the canonical image of the current area
Outcome SaveCurrentArea(PatternStore& store, const EncodeContext& context, int controllerCountIndex,
                        LoopCountEntry loopCount, const std::string& path) {
  if (SaveRefusal refusal = CheckContentToSave(store, SAVE_CURRENT_AREA); refusal.refused) {
    return Refusal(refusal);
  }
  const uint8_t prefix[kLedIndexBytes] = {static_cast<uint8_t>(context.controls.comboBox6Index),
                                          static_cast<uint8_t>(controllerCountIndex)};
  return WriteCurrentArea(store, context, loopCount, prefix, sizeof prefix, path);
}

// .VQD layout: the canonical image of the current area, nothing before or after.
Outcome ExportCurrentArea(PatternStore& store, const EncodeContext& context,
                          LoopCountEntry loopCount, const std::string& path) {
  if (SaveRefusal refusal = CheckContentToSave(store, SAVE_EXPORT); refusal.refused) {
    return Refusal(refusal);
  }
  return WriteCurrentArea(store, context, loopCount, nullptr, 0, path);
}

PatternFileKind PatternFileKindOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  if (base == "tempRGB.bin") return FILE_RESUME;
  const size_t dot = base.find_last_of('.');
  std::string extension = dot == std::string::npos ? "" : base.substr(dot + 1);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (extension == "led") return FILE_SINGLE_AREA;
  if (extension == "vqd") return FILE_EXPORT;
  return FILE_ALL_AREAS;
}

Outcome LocateImages(const uint8_t* data, size_t size, PatternFileKind kind,
                     const std::string& name, ImageOffsets& images) {
  const bool single = kind == FILE_SINGLE_AREA || kind == FILE_EXPORT;
  const size_t offset = kind == FILE_SINGLE_AREA ? std::min<size_t>(size, kLedIndexBytes) : 0;
  const ImageExtent stop = Locate(data, size, offset, single ? 1 : kAreaCount, true, images);
  if (stop.fault != IMAGE_FAULT_NONE) return Refused(name, stop, single ? -1 : images.count);
  return Outcome::Ok();
}

Outcome ReadAllAreaImages(PatternStore& store, const uint8_t* data, size_t size, AreaReader reader,
                          const std::string& name, AreaReadPolicy policy) {
  // Every image read is checked before the first area changes.
  const bool wholeOnly = policy == READ_WHOLE_FILE_ONLY;
  ImageOffsets images;
  const ImageExtent stop = Locate(data, size, 0, kAreaCount, wholeOnly, images);
  if (stop.fault != IMAGE_FAULT_NONE && (wholeOnly || images.count == 0)) {
    return Refused(name, stop, images.count);
  }
  int channels[kAreaCount] = {};
  for (int area = 0; area < images.count; ++area) {
    const size_t at = images.offset[area];
    channels[area] = ReadImageHeader(data + at).channels;
    DecodeAreaImage(store, data + at, size - at, area, reader);
  }
  const Text leftOut = LeftOut(images.count, stop, channels);
  if (leftOut.empty()) return Outcome::Ok();
  return {true, {"文件 " + name + " " + leftOut.zh, "The file " + name + " " + leftOut.en}};
}

Outcome ReadSingleAreaFile(PatternStore& store, const uint8_t* data, size_t size,
                           const std::string& name) {
  return ReadOneImage(store, data, size, FILE_SINGLE_AREA, name);
}

Outcome ReadExportFile(PatternStore& store, const uint8_t* data, size_t size,
                       const std::string& name) {
  return ReadOneImage(store, data, size, FILE_EXPORT, name);
}

ResumeLoad LoadResumeFile(PatternStore& store, const std::string& path) {
  std::vector<uint8_t> bytes;
  bool missing = false;
  ResumeLoad load;
  load.outcome = ReadWholeFile(path, bytes, &missing);
  if (missing) return load;
  if (!load.outcome.ok) {
    // Not read, so not copied either: it stays as it is.
    load.keepFile = true;
    Append(load.outcome.message,
           {"关闭程序时不会覆盖 " + path + "。", path + " will not be overwritten at closing."},
           "。", ". ");
    return load;
  }
  load.outcome = ReadAllAreaImages(store, bytes.data(), bytes.size(), READER_RESUME, path);
  if (load.outcome.message.empty()) return load;
  // Part of the file or all of it was not restored: its bytes are kept
  // before anything can write the resume file.
  std::string kept;
  const Outcome copied = KeepCopy(path, bytes.data(), bytes.size(), kept);
  load.keepFile = !copied.ok;
  Append(load.outcome.message,
         copied.ok ? Text{"文件原有内容已另存为 " + kept + "。",
                          "The file's bytes were kept as " + kept + "."}
                   : Text{copied.message.zh + "。关闭程序时不会覆盖 " + path +
                              "；请用“全部区保存”保存本次的花样。",
                          copied.message.en + ". " + path +
                              " will not be overwritten at closing; save all areas to an .Aled "
                              "file to keep this session's patterns."},
         "。", ". ");
  return load;
}

Outcome ImportAllAreas(PatternStore& store, const std::string& path) {
  return ReadFileThen(path, &ReadAledImages, store);
}

Outcome ImportSingleArea(PatternStore& store, const std::string& path) {
  return ReadFileThen(path, &ReadSingleAreaFile, store);
}

}  // namespace vqled
