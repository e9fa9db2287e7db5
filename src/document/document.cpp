#include "document/document.h"

#include <vector>

#include "files/file_io.h"
#include "model/control_states.h"
#include "model/model_catalogue.h"

namespace vqled {
namespace {

constexpr int32_t kStartupTimes[kDefaultTimeCount] = {1000, 800, 600, 400, 200};

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

Document::Document()
    : store_(std::make_unique<PatternStore>()),
      image_(std::make_unique<ImageBuffer>()),
      clipboard_(std::make_unique<EditorClipboard>()) {}

Document::~Document() = default;

void Document::ResetStartupAreas() {
  for (int a = 0; a < kAreaCount; ++a) {
    ResetArea(*store_, a);
    for (int k = 0; k < kDefaultTimeCount; ++k) store_->defaultTime[a][k].value = kStartupTimes[k];
  }
}

ProfileChange Document::ApplyModel(int modelIndex) {
  modelIndex_ = modelIndex;
  return ApplyModelProfile(profile_, *store_, modelIndex);
}

GridLayout Document::LayoutGrid(int channels) {
  return vqled::LayoutGrid(*store_, profile_, channels);
}

Outcome Document::LayoutForControllers(std::string_view countText, GridLayout& grid) {
  int count = profile_.controllerCount;
  if (Outcome read = ReadControllerCount(countText, count); !read.ok) return read;
  profile_.controllerCount = count;
  grid = LayoutGrid(ShownChannelCount(profile_));
  return Outcome::Ok();
}

ModelSelection Document::SelectModel(int modelIndex, int controllerCount) {
  modelIndex_ = modelIndex;
  ShowStartupHeader(modelIndex);
  return vqled::SelectModel(profile_, *store_, controls_, modelIndex, controllerCount);
}

void Document::ShowStartupHeader(int modelIndex) {
  header_ = HeaderControls();
  header_.comboBox6Index = modelIndex;
  header_.comboBox13Visible =
      ResolveControlStates(modelIndex).Value("ComboBox13", CONTROL_SHOWN).value_or(false);
  header_.radioButton6 = true;
}

AreaView Document::ShowArea(int area) {
  return ShowAreaSettings(*store_, profile_, controls_, area);
}

AreaView Document::ClearAllAreas() {
  return vqled::ClearAllAreas(*store_, profile_, controls_);
}

void Document::ClearCurrentArea() {
  vqled::ClearCurrentArea(*store_);
}

int Document::AreaTabCount() const {
  const TabCaptions* tabs = CatalogueRow(profile_.modelIndex).tabCaptions;
  return tabs != nullptr ? tabs->count : 1;
}

bool Document::AreaExists(int area) const {
  return area >= 0 && area < AreaTabCount();
}

SaveRefusal Document::CheckContentToSave(SaveCommand command) {
  return vqled::CheckContentToSave(*store_, command);
}

ResumeLoad Document::LoadResumeFile(const std::string& path) {
  return vqled::LoadResumeFile(*store_, path);
}

Outcome Document::SaveResumeFile(const std::string& path, SaveLog* log) {
  return vqled::SaveResumeFile(*store_, Encoding(), path, log);
}

Outcome Document::SaveAllAreas(const std::string& path, SaveLog* log) {
  return vqled::SaveAllAreas(*store_, Encoding(), path, log);
}

Outcome Document::ImportAllAreas(const std::string& path) {
  return vqled::ImportAllAreas(*store_, path);
}

Outcome Document::SaveCurrentArea(const std::string& path, int controllerListIndex,
                                  LoopCountEntry loopCount) {
  return vqled::SaveCurrentArea(*store_, Encoding(), controllerListIndex, loopCount, path);
}

Outcome Document::ImportSingleArea(const std::string& path) {
  return vqled::ImportSingleArea(*store_, path);
}

Outcome Document::ExportCurrentArea(const std::string& path, LoopCountEntry loopCount) {
  return vqled::ExportCurrentArea(*store_, Encoding(), loopCount, path);
}

Outcome Document::LoadAsEditor(const std::string& file, int modelIndex, int controllerCount,
                               int area, bool* refused) {
  bool fileRefused = false;
  if (refused != nullptr) *refused = true;
  ResetStartupAreas();
  SelectModel(modelIndex, controllerCount);
  if (!AreaExists(area)) {
    const std::string n = std::to_string(area);
    const std::string last = std::to_string(AreaTabCount() - 1);
    return Outcome::Fail({"该型号没有分区 " + n + "（分区 0.." + last + "）",
                          "the model has no area " + n + " (areas 0.." + last + ")"});
  }
  ShowArea(area);
  const Outcome read = ReadLikeTheEditor(*store_, file, fileRefused);
  if (refused != nullptr) *refused = fileRefused;
  if (!read.ok) return read;
  ShowArea(area);
  return Outcome::Ok();
}

Outcome Document::EncodeDownload(int area, ImageBuffer& image) {
  return EncodeDownloadImage(*store_, profile_, Download(), area, image);
}

Outcome Document::BuildCurrentAreaDownload() {
  if (Outcome stored = StoreLoopCount(*store_, controls_.edit6); !stored.ok) return stored;
  ComputeAreaLength(*store_, store_->currentArea);
  return EncodeDownload(store_->currentArea, *image_);
}

}  // namespace vqled
