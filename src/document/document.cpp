#include "document/document.h"

#include <algorithm>
#include <vector>

#include "editor/entry.h"
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

// Showing an area may enable it (CheckBox2 unchecked when the tab changes):
// a step of the area shown.
AreaView Document::ShowArea(int area) {
  store_->currentArea = area >= 0 && area < kAreaCount ? area : 0;
  StepGuard step(*this, STEP_PLAY_SETTINGS);
  return ShowAreaSettings(*store_, profile_, controls_, area);
}

AreaView Document::ClearAllAreas() {
  StepGuard step(*this, STEP_CLEAR_ALL);
  return vqled::ClearAllAreas(*store_, profile_, controls_);
}

void Document::ClearCurrentArea() {
  StepGuard step(*this, STEP_CLEAR_AREA);
  vqled::ClearCurrentArea(*store_);
}

void Document::ChooseLoopMode(int loopMode) {
  StepGuard step(*this, STEP_PLAY_SETTINGS);
  vqled::ChooseLoopMode(*store_, profile_, controls_, loopMode);
}

Outcome Document::StoreLoopCount(std::string_view text) {
  StepGuard step(*this, STEP_PLAY_SETTINGS);
  return vqled::StoreLoopCount(*store_, text);
}

void Document::StoreEnabled(bool checked) {
  StepGuard step(*this, STEP_PLAY_SETTINGS);
  vqled::StoreEnabled(*store_, controls_, checked);
}

void Document::CheckEndBox(EndBox box, bool checked) {
  StepGuard step(*this, STEP_PLAY_SETTINGS);
  vqled::CheckEndBox(*store_, controls_, box, checked);
}

void Document::StoreEndListChoice(int index) {
  StepGuard step(*this, STEP_PLAY_SETTINGS);
  vqled::StoreEndListChoice(*store_, controls_, index);
}

Outcome Document::StoreDefaultTimes() {
  StepGuard step(*this, STEP_DEFAULT_TIMES);
  return vqled::StoreDefaultTimes(*store_, controls_);
}

bool Document::ToggleCell(GridCell cell, int boxNumber) {
  StepGuard step(*this, STEP_CELL_CLICK, cell.row);
  return ToggleEntryCell(*store_, cell, boxNumber);
}

Outcome Document::StoreEntryNumber(GridCell editCell, std::string_view text) {
  StepGuard step(*this, STEP_VALUE_ENTRY, editCell.row);
  return vqled::StoreEntryNumber(*store_, editCell, text);
}

void Document::PickTimeType(GridCell editCell, int itemIndex) {
  StepGuard step(*this, STEP_FRAME_TIME);
  vqled::PickTimeType(*store_, editCell, itemIndex);
}

Outcome Document::PickTimeValue(GridCell editCell, std::string_view itemText) {
  StepGuard step(*this, STEP_FRAME_TIME);
  return vqled::PickTimeValue(*store_, editCell, itemText);
}

void Document::CopySelection(const GridCellRect& rect, bool fill, bool clear, int fillValue) {
  StepGuard step(*this, clear ? STEP_CLEAR_SELECTED : STEP_FILL_SELECTED);
  clipboard_->fillAfterCopy = fill;
  clipboard_->clearAfterCopy = clear;
  vqled::CopySelection(*store_, *clipboard_, rect, fillValue);
}

void Document::PasteClip(GridCell editCell) {
  StepGuard step(*this, STEP_PASTE);
  vqled::PasteClip(*store_, *clipboard_, editCell);
}

void Document::InsertColumn(GridCell editCell) {
  StepGuard step(*this, STEP_INSERT_COLUMN);
  vqled::InsertColumn(*store_, editCell);
}

void Document::DeleteColumn(GridCell editCell) {
  StepGuard step(*this, STEP_DELETE_COLUMN);
  vqled::DeleteColumn(*store_, editCell);
}

void Document::CopyChannel(GridCell editCell) {
  vqled::CopyChannel(*store_, *clipboard_, editCell, store_->gridColumnCount);
}

void Document::PasteChannel(GridCell editCell) {
  StepGuard step(*this, STEP_PASTE_CHANNEL, editCell.row);
  vqled::PasteChannel(*store_, *clipboard_, editCell, store_->gridColumnCount);
}

Outcome Document::Ramp(GridCell editCell, const RampControls& controls, bool alongFrames) {
  StepGuard step(*this, alongFrames ? STEP_RAMP_FRAMES : STEP_RAMP_CHANNELS,
                 alongFrames ? editCell.row : -1);
  return alongFrames ? RampAlongFrames(*store_, profile_, editCell, controls)
                     : RampDownChannels(*store_, profile_, editCell, controls);
}

Outcome Document::FillRun(const RunFields& fields, int value, bool stacked) {
  StepGuard step(*this, stacked ? STEP_STACKED_RUN : STEP_RUN);
  return stacked ? FillStackedRun(*store_, fields, value) : vqled::FillRun(*store_, fields, value);
}

// What a step of kind may write: the settings alone, the grid's rows, the
// rows a reset clears, or every row, of the current area or of all areas.
StepScope Document::ScopeOf(StepKind kind, int onlyRow) const {
  const int area = store_->currentArea;
  if (PatternStore::InArea(onlyRow, 0)) return {area, 1, 1, onlyRow};
  const int gridRows = std::clamp(store_->gridRowCount, kHeaderRows, kRowsPerArea);
  const int resetRows = std::max(gridRows, kResetRows);
  switch (kind) {
    case STEP_DEFAULT_TIMES:
    case STEP_PLAY_SETTINGS:
    case STEP_FRAME_TIME:
      return {area, 1, 0};
    case STEP_INSERT_COLUMN:
    case STEP_DELETE_COLUMN:
    case STEP_CLEAR_AREA:
      return {area, 1, resetRows};
    case STEP_PASTE:
    case STEP_STACKED_RUN:
    case STEP_RUN:
    case STEP_IMPORT_AREA:
    case STEP_IMPORT_TABLE:
      return {area, 1, kRowsPerArea};
    case STEP_CLEAR_ALL:
      return {0, kAreaCount, resetRows};
    case STEP_IMPORT_ALL:
      return {0, kAreaCount, kRowsPerArea};
    default:
      return {area, 1, gridRows};
  }
}

void Document::BeginStep(StepKind kind, int onlyRow) {
  if (stepDepth_++ > 0) return;
  stepKind_ = kind;
  stepArea_ = store_->currentArea;
  if (kind != STEP_NONE) history_.Begin(*store_, ScopeOf(kind, onlyRow));
}

// Keystrokes into Edit6 or a time list fold into one step.
bool Document::EndStep() {
  if (stepDepth_ == 0 || --stepDepth_ > 0 || stepKind_ == STEP_NONE) return false;
  const bool merge = stepKind_ == STEP_PLAY_SETTINGS || stepKind_ == STEP_DEFAULT_TIMES;
  return history_.End(*store_, stepKind_, stepArea_, merge);
}

int Document::Undo() {
  return StepOpen() ? -1 : history_.Undo(*store_);
}

int Document::Redo() {
  return StepOpen() ? -1 : history_.Redo(*store_);
}

void Document::FoldPaintedCell(int row, int column, int32_t before) {
  if (!StepOpen()) {
    history_.FoldCell(STEP_PERCENT_WRITE_BACK, store_->currentArea, row, column, before);
  }
}

AreaView Document::ShowRestoredArea(int area) {
  controls_.checkBox2Checked = true;  // no enabling: the area shows as restored
  const AreaView view = ShowArea(area);
  controls_.checkBox2Checked = store_->playSettings[store_->currentArea].enabled != 0;
  return view;
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
  StepGuard step(*this, STEP_IMPORT_ALL);
  return vqled::ImportAllAreas(*store_, path);
}

Outcome Document::SaveCurrentArea(const std::string& path, int controllerListIndex,
                                  LoopCountEntry loopCount) {
  StepGuard step(*this, STEP_PLAY_SETTINGS);  // the loop count is stored from Edit6
  return vqled::SaveCurrentArea(*store_, Encoding(), controllerListIndex, loopCount, path);
}

Outcome Document::ImportSingleArea(const std::string& path) {
  StepGuard step(*this, STEP_IMPORT_AREA);
  return vqled::ImportSingleArea(*store_, path);
}

Outcome Document::ExportCurrentArea(const std::string& path, LoopCountEntry loopCount) {
  StepGuard step(*this, STEP_PLAY_SETTINGS);
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
  history_.Clear();  // a document read afresh has nothing to undo
  return Outcome::Ok();
}

Outcome Document::EncodeDownload(int area, ImageBuffer& image) {
  return EncodeDownloadImage(*store_, profile_, Download(), area, image);
}

Outcome Document::BuildCurrentAreaDownload() {
  if (Outcome stored = StoreLoopCount(controls_.edit6); !stored.ok) return stored;
  ComputeAreaLength(*store_, store_->currentArea);
  return EncodeDownload(store_->currentArea, *image_);
}

}  // namespace vqled
