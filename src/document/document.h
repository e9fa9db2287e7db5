// The editor document: the pattern store of all areas, the profile of the
// model in force, the form inputs the encoders and the file writers read (the
// area band's AreaControls and the header's HeaderControls), the image buffer
// the encoders write into and the editor's clipboard. The window and
// vqled-cli both hold one and run the system's operations on it, so that each
// rule is written once; the window moves its controls' state into the form
// inputs before an operation and shows them again after it.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "editor/commands.h"
#include "editor/generators.h"
#include "editor/history.h"
#include "editor/selection.h"
#include "files/area_image.h"
#include "files/download_image.h"
#include "files/pattern_files.h"
#include "model/area_settings.h"
#include "model/grid_layout.h"
#include "model/model_profile.h"
#include "model/model_selection.h"
#include "model/pattern_store.h"
#include "model/text.h"

namespace vqled {

class Document {
 public:
  Document();
  ~Document();
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  PatternStore& store() { return *store_; }
  const PatternStore& store() const { return *store_; }
  ModelProfile& profile() { return profile_; }
  const ModelProfile& profile() const { return profile_; }
  ImageBuffer& image() { return *image_; }
  EditorClipboard& clipboard() { return *clipboard_; }

  // The form inputs: what the area band and the header controls show.
  AreaControls& controls() { return controls_; }
  const AreaControls& controls() const { return controls_; }
  HeaderControls& header() { return header_; }
  const HeaderControls& header() const { return header_; }
  // ComboBox6's item the model was last applied from (-1: none), and the
  // controllers of ComboBox4 in force.
  int modelIndex() const { return modelIndex_; }
  int controllerCount() const { return profile_.controllerCount; }

  // What the download encoders read of the form inputs.
  DownloadControls Download() const { return DownloadControlsFromArea(controls_, header_); }

  // The start-up state of the areas: every area empty, with the default
  // times 1000, 800, 600, 400 and 200 ms.
  void ResetStartupAreas();

  // ComboBox6Change and ComboBox4Change, step by step as the window runs
  // them between its control changes: the model's profile with one
  // controller (area 1 current), the grid for a number of channels, and
  // ComboBox4's text as the controller count with the grid for all
  // controllers. A count that is no number fails with the conversion error
  // and changes nothing; one outside 1..20 is brought into that range.
  ProfileChange ApplyModel(int modelIndex);
  GridLayout LayoutGrid(int channels);
  Outcome LayoutForControllers(std::string_view countText, GridLayout& grid);

  // The whole model selection as the editor makes it with controllerCount
  // controllers where the model's count list is enabled: the profile, the
  // area controls the model's control states set, the grid for all
  // controllers and area 1 shown; the header as at start (RadioButton6
  // "普通控制器" checked, ComboBox13 shown where the model has the list).
  ModelSelection SelectModel(int modelIndex, int controllerCount);
  void ShowStartupHeader(int modelIndex);

  // TabControl1Change: area becomes current and its settings go into the
  // area controls.
  AreaView ShowArea(int area);
  // BitBtn3Click and BitBtn10Click.
  AreaView ClearAllAreas();
  void ClearCurrentArea();

  // The area band's rules on the current area, with the form inputs in
  // controls(): the loop buttons, Edit6, CheckBox2, the end boxes and
  // ComboBox13, the default times time1..5 and timeT1..5.
  void ChooseLoopMode(int loopMode);
  Outcome StoreLoopCount(std::string_view text);
  void StoreEnabled(bool checked);
  void CheckEndBox(EndBox box, bool checked);
  void StoreEndListChoice(int index);
  Outcome StoreDefaultTimes();

  // The grid's entry and menu commands on the current area (see
  // editor/entry.h, commands.h, generators.h). Copy fills or clears the
  // rectangle as fill and clear say.
  bool ToggleCell(GridCell cell, int boxNumber);
  Outcome StoreEntryNumber(GridCell editCell, std::string_view text);
  void PickTimeType(GridCell editCell, int itemIndex);
  Outcome PickTimeValue(GridCell editCell, std::string_view itemText);
  void CopySelection(const GridCellRect& rect, bool fill, bool clear, int fillValue);
  void PasteClip(GridCell editCell);
  void InsertColumn(GridCell editCell);
  void DeleteColumn(GridCell editCell);
  void CopyChannel(GridCell editCell);
  void PasteChannel(GridCell editCell);
  Outcome Ramp(GridCell editCell, const RampControls& controls, bool alongFrames);
  Outcome FillRun(const RunFields& fields, int value, bool stacked);

  // The undo history. Each operation above that changes the store, and the
  // imports, run as one step; a caller that changes the store through other
  // functions (a window handler, an import of another format) wraps the
  // change in BeginStep/EndStep or a StepGuard, so the step records every
  // write, whoever makes it. Steps nest: only the outermost one records, with
  // its kind. A step that changed nothing (a refused number or file) is not
  // kept. STEP_NONE opens a scope whose writes are no step (start-up, model
  // switches), steps nested in it included. Undo and Redo return the area the step was made in, -1
  // when there is none. onlyRow: the step writes no cell outside that row of the current area (a
  // cell click), so only that row is compared.
  void BeginStep(StepKind kind, int onlyRow = -1);
  bool EndStep();
  bool StepOpen() const { return stepDepth_ > 0; }
  int Undo();
  int Redo();
  History& history() { return history_; }
  const History& history() const { return history_; }
  // Painting brought a cell of the current area from before to what it holds
  // now (a percent value above 100): folded into the newest step.
  void FoldPaintedCell(int row, int column, int32_t before);
  // The area a step was undone or redone in made current and shown as the
  // store now holds it (CheckBox2 as its enabled setting), writing nothing.
  AreaView ShowRestoredArea(int area);

  // The areas the editor can make current on the model in force: one per tab
  // of TabControl1 (VQ-M28 has 20, one more than its all-areas download
  // sends), and area 0 alone on single-area models.
  int AreaTabCount() const;
  bool AreaExists(int area) const;

  // The pattern files as the editor reads and writes them, encoding with the
  // profile and the header in force. The single-area save stores the count
  // of controllerListIndex (ComboBox4's item); the single-area save and the
  // export store loopCount for the current area.
  SaveRefusal CheckContentToSave(SaveCommand command);
  ResumeLoad LoadResumeFile(const std::string& path);
  Outcome SaveResumeFile(const std::string& path, SaveLog* log);
  Outcome SaveAllAreas(const std::string& path, SaveLog* log);
  Outcome ImportAllAreas(const std::string& path);
  Outcome SaveCurrentArea(const std::string& path, int controllerListIndex,
                          LoopCountEntry loopCount);
  Outcome ImportSingleArea(const std::string& path);
  Outcome ExportCurrentArea(const std::string& path, LoopCountEntry loopCount);

  // Fresh areas; the model selected with controllerCount controllers; area
  // shown; the file read as the editor reads it (basename tempRGB.bin: the
  // resume reader, whole or not at all; .led: the single-area import; .VQD:
  // the export reader; anything else: the all-area import); area shown again
  // so the controls hold its settings. Fails with the reason (the file's
  // refusal, or an area the model lacks); refused says whether the file or
  // the arguments were at fault rather than the system.
  Outcome LoadAsEditor(const std::string& file, int modelIndex, int controllerCount, int area,
                       bool* refused = nullptr);

  // The model's download image of area as the form inputs set it, into
  // image (the link's buffer, or the document's own).
  Outcome EncodeDownload(int area, ImageBuffer& image);
  // What a download of the current area does before the transfer: stores the
  // loop count from Edit6, measures the area and builds the model's image in
  // the image buffer.
  Outcome BuildCurrentAreaDownload();

 private:
  EncodeContext Encoding() { return {profile_, header_, *image_}; }
  StepScope ScopeOf(StepKind kind, int onlyRow) const;

  std::unique_ptr<PatternStore> store_;
  ModelProfile profile_;
  AreaControls controls_;
  HeaderControls header_;
  int modelIndex_ = -1;
  std::unique_ptr<ImageBuffer> image_;
  std::unique_ptr<EditorClipboard> clipboard_;
  History history_;
  int stepDepth_ = 0;
  StepKind stepKind_ = STEP_CELL_CLICK;
  int stepArea_ = 0;
};

// Opens a step of the document for the guard's scope.
class StepGuard {
 public:
  StepGuard(Document& document, StepKind kind, int onlyRow = -1) : document_(document) {
    document.BeginStep(kind, onlyRow);
  }
  ~StepGuard() { document_.EndStep(); }
  StepGuard(const StepGuard&) = delete;
  StepGuard& operator=(const StepGuard&) = delete;

 private:
  Document& document_;
};

}  // namespace vqled
