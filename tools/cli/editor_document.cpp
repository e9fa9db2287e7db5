#include "editor_document.h"

#include <vector>

#include "files/file_io.h"
#include "files/pattern_files.h"
#include "model/control_states.h"
#include "model/model_selection.h"

namespace vqled::cli {
namespace {

Outcome ReadLikeTheEditor(PatternStore& store, const std::string& file, bool& refused) {
  std::vector<uint8_t> bytes;
  if (Outcome read = ReadWholeFile(file, bytes); !read.ok) return read;
  refused = true;  // from here on a failure is the file's content
  switch (PatternFileKindOf(file)) {
    // A script gets the whole file or a refusal, never a part of it.
    case FILE_RESUME:
      return ReadAllAreaImages(store, bytes.data(), bytes.size(), READER_RESUME, file,
                               READ_WHOLE_FILE_ONLY);
    case FILE_SINGLE_AREA:
      return ReadSingleAreaFile(store, bytes.data(), bytes.size(), file);
    case FILE_EXPORT:
      return ReadExportFile(store, bytes.data(), bytes.size(), file);
    default:
      return ReadAllAreaImages(store, bytes.data(), bytes.size(), READER_ALL_AREAS, file,
                               READ_WHOLE_FILE_ONLY);
  }
}

}  // namespace

HeaderControls EditorDocument::Header() const {
  HeaderControls header;
  header.comboBox6Index = modelIndex;
  header.comboBox13Visible =
      ResolveControlStates(modelIndex).Value("ComboBox13", CONTROL_SHOWN).value_or(false);
  header.radioButton6 = true;
  return header;
}

void ResetStartupAreas(PatternStore& store) {
  constexpr int32_t kStartupTimes[kDefaultTimeCount] = {1000, 800, 600, 400, 200};
  for (int a = 0; a < kAreaCount; ++a) {
    ResetArea(store, a);
    for (int k = 0; k < kDefaultTimeCount; ++k) store.defaultTime[a][k].value = kStartupTimes[k];
  }
}

int AreaTabCount(const ModelProfile& profile) {
  const TabCaptions* tabs = CatalogueRow(profile.modelIndex).tabCaptions;
  return tabs != nullptr ? tabs->count : 1;
}

bool AreaExists(const ModelProfile& profile, int area) {
  return area >= 0 && area < AreaTabCount(profile);
}

Outcome LoadAsEditor(const std::string& file, int modelIndex, int controllerCount, int area,
                     EditorDocument& doc, bool* refused) {
  bool fileRefused = false;
  if (refused != nullptr) *refused = true;
  PatternStore& store = *doc.store;
  ResetStartupAreas(store);
  doc.modelIndex = modelIndex;
  SelectModel(doc.profile, store, doc.controls, modelIndex, controllerCount);
  if (!AreaExists(doc.profile, area)) {
    const std::string n = std::to_string(area);
    const std::string last = std::to_string(AreaTabCount(doc.profile) - 1);
    return Outcome::Fail({"该型号没有分区 " + n + "（分区 0.." + last + "）",
                          "the model has no area " + n + " (areas 0.." + last + ")"});
  }
  ShowAreaSettings(store, doc.profile, doc.controls, area);
  const Outcome read = ReadLikeTheEditor(store, file, fileRefused);
  if (refused != nullptr) *refused = fileRefused;
  if (!read.ok) return read;
  ShowAreaSettings(store, doc.profile, doc.controls, area);
  return Outcome::Ok();
}

Outcome BuildCurrentAreaDownload(EditorDocument& doc, ImageBuffer& image) {
  PatternStore& store = *doc.store;
  if (Outcome stored = StoreLoopCount(store, doc.controls.edit6); !stored.ok) return stored;
  ComputeAreaLength(store, store.currentArea);
  return EncodeDownloadImage(store, doc.profile, doc.Download(), store.currentArea, image);
}

}  // namespace vqled::cli
