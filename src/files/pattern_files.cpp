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

Outcome Refusal(const SaveRefusal& refusal) {
  return Outcome::Fail(refusal.text);
}

// Takes the loop count into the current area's play settings; a text that is
// not a number stops the save before any file is touched.
Outcome TakeLoopCount(PatternStore& store, LoopCountEntry entry) {
  if (!entry.converted) return StoreLoopCount(store, entry.edit6Text);
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

Outcome ReadFileThen(const std::string& path, bool missingIsFine,
                     Outcome (*read)(PatternStore&, const uint8_t*, size_t, const std::string&),
                     PatternStore& store) {
  std::vector<uint8_t> bytes;
  bool missing = false;
  if (Outcome got = ReadWholeFile(path, bytes, missingIsFine ? &missing : nullptr); !got.ok) {
    return got;
  }
  if (missing) return Outcome::Ok();
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

Outcome ReadResumeImages(PatternStore& store, const uint8_t* data, size_t size,
                         const std::string& name) {
  return ReadAllAreaImages(store, data, size, READER_RESUME, name);
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
Outcome SaveCurrentArea(PatternStore& store, const EncodeContext& context, int comboBox4Index,
                        LoopCountEntry loopCount, const std::string& path) {
  if (SaveRefusal refusal = CheckContentToSave(store, SAVE_CURRENT_AREA); refusal.refused) {
    return Refusal(refusal);
  }
  const uint8_t prefix[kLedIndexBytes] = {static_cast<uint8_t>(context.controls.comboBox6Index),
                                          static_cast<uint8_t>(comboBox4Index)};
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
  const int count = single ? 1 : kAreaCount;
  size_t offset = kind == FILE_SINGLE_AREA ? std::min<size_t>(size, kLedIndexBytes) : 0;
  images.count = 0;
  for (int i = 0; i < count; ++i) {
    const ImageExtent extent = CheckAreaImage(data + offset, size - offset);
    if (extent.fault != IMAGE_FAULT_NONE) return Refused(name, extent, single ? -1 : i);
    images.offset[images.count++] = offset;
    offset += extent.length;
  }
  return Outcome::Ok();
}

Outcome ReadAllAreaImages(PatternStore& store, const uint8_t* data, size_t size, AreaReader reader,
                          const std::string& name) {
  // Every image is checked before the first area changes.
  ImageOffsets images;
  if (Outcome located = LocateImages(data, size, FILE_ALL_AREAS, name, images); !located.ok) {
    return located;
  }
  for (int area = 0; area < kAreaCount; ++area) {
    const size_t at = images.offset[area];
    DecodeAreaImage(store, data + at, size - at, area, reader);
  }
  return Outcome::Ok();
}

Outcome ReadSingleAreaFile(PatternStore& store, const uint8_t* data, size_t size,
                           const std::string& name) {
  return ReadOneImage(store, data, size, FILE_SINGLE_AREA, name);
}

Outcome ReadExportFile(PatternStore& store, const uint8_t* data, size_t size,
                       const std::string& name) {
  return ReadOneImage(store, data, size, FILE_EXPORT, name);
}

Outcome LoadResumeFile(PatternStore& store, const std::string& path) {
  return ReadFileThen(path, true, &ReadResumeImages, store);
}

Outcome ImportAllAreas(PatternStore& store, const std::string& path) {
  return ReadFileThen(path, false, &ReadAledImages, store);
}

Outcome ImportSingleArea(PatternStore& store, const std::string& path) {
  return ReadFileThen(path, false, &ReadSingleAreaFile, store);
}

}  // namespace vqled
