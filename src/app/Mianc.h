// The main form Form2 of class TForm2: the one window of the editor. It owns
// the editor document (pattern store, model profile, form inputs, image
// buffer, clipboard), the language mode and the panels (grid entry, editing
// commands, preview, virtual controller) for the whole run; its controls come
// from Mianc.ui under their form names, the grid StringGrid1 is created in
// code in its place. The handlers keep the form's names (ComboBox6Change,
// ShowArea, BitBtn3Click, ...): each is run by its control's signal and may be
// called directly, as the start-up sequence and the tests do; those of the
// panels forward to them.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

#include "control_lookup.h"
#include "document/document.h"
#include "edit_commands_panel.h"
#include "entry_panel.h"
#include "files/area_image.h"
#include "files/pattern_files.h"
#include "model/area_settings.h"
#include "model/control_states.h"
#include "model/grid_layout.h"
#include "model/model_profile.h"
#include "model/pattern_store.h"
#include "model/text.h"
#include "preview_panel.h"
#include "ui/captions.h"
#include "virtual_panel.h"

class QMenu;
class QTimer;
class QAction;
class QComboBox;

namespace Ui {
class TForm2;
}

namespace vqled {

class StringGrid;
class IniFile;
struct ConfigKey;
class ConfigFaults;
struct EditorClipboard;
struct DownloadControls;
class ControllerLink;
class LinkPanel;
class TriggerSettingsPanel;
class Shape;
class NumberKeyFilter;
class DigitsValidator;
class VirtualController;
class GridKeys;
class UndoMenu;

class TForm2 : public QWidget {
  Q_OBJECT

 public:
  // Creates the controls in their design state and runs FormCreate.
  explicit TForm2(QWidget* parent = nullptr);
  ~TForm2() override;

  // The exit status the program ends with: 0, or -1 after the settings
  // could not be written at close.
  int closeExitCode() const { return closeExitCode_; }

  // Lifecycle.
  void FormCreate();
  void FormClose();
  void LoadConfig();
  Outcome WriteConfig();  // SaveConfig: every key to Config.ini
  void LoadResumeFile();
  void SaveResumeFile();
  void RemoveStaleSaves();
  void FormMouseMove();

  // Model and area controls.
  int ApplyModelProfile();
  void LayoutGrid(int channels);
  void ComboBox6Change();
  void ComboBox4Change();
  void ShowArea();  // TabControl1Change
  void RadioButton1Click();
  void RadioButton2Click();
  void RadioButton3Click();
  void RadioButton4Click();
  void Edit6Change();
  void CheckBox2Click();
  void CheckBox3Click();
  void CheckBox6Click();
  void ComboBox13Change();
  void StoreDefaultTimes();  // time1Change
  void BitBtn3Click();       // ClearAllAreas
  void BitBtn10Click();      // ClearCurrentArea
  void ComboBox8Change();
  void BitBtn15Click();
  void CheckBox7Click();
  void ListPorts();  // BitBtn2Click
  void ComBoxAChange();
  void Button11Click();

  // Languages.
  void BitBtn12Click();
  void BitBtn11Click();
  void BitBtn13Click();

  // The grid and the entry controls over it.
  void StringGrid1MouseDown(QPoint viewportPos);
  void StringGrid1MouseMove(QPoint viewportPos);
  void StringGrid1MouseUp(Qt::MouseButton button, QPoint viewportPos, QPoint screenPos);
  void StringGrid1TopLeftChanged();  // the grid scrolled
  // Zoom of the grid (RightMenu items and their shortcuts).
  void ZoomIn1Click();
  void ZoomOut1Click();
  void ZoomReset1Click();
  void FitArea1Click();
  void FitSelection1Click();
  void OpenValueEntry(int column, int row);
  void OpenTimeTypeList(int column);
  void OpenTimeValueList(int column);
  void HYEditKeyUp();
  void HYEditChange();
  void HYEditEnter();
  void HYEditMouseLeave();
  void TimeCombSelect(int index);
  void TimeComb2Select(int index);

  // The popup menu and the running-light dialogs.
  void N1Click();   // InsertColumn
  void N2Click();   // DeleteColumn
  void N3Click();   // CopySelection
  void N4Click();   // CopySelection, filling
  void N5Click();   // PasteClip
  void N6Click();   // CopySelection, clearing
  void N7Click();   // RampDownChannels
  void N8Click();   // RampAlongFrames
  void N9Click();   // CopyChannel
  void N10Click();  // PasteChannel
  void OpenStackedRunDialog();
  void OpenRunDialog();
  void Button7Click();  // FillStackedRun
  void Button8Click();  // FillRun
  // The undo and redo items of RightMenu and their keys (undo_menu.h).
  void UndoItemClick();
  void RedoItemClick();

  // Pattern files and the preview.
  void BitBtn6Click();   // save all areas as .Aled
  void BitBtn4Click();   // import all areas
  void BitBtn8Click();   // save the current area as .led
  void BitBtn9Click();   // import into the current area
  void BitBtn17Click();  // export the current area as .VQD
  void BitBtn1Click();   // start or stop the preview

  // The current area as a CSV or PNG table file and back (table_files.cpp).
  void TableCsvOutClick();
  void TableCsvInClick();
  void TablePngOutClick();
  void TablePngInClick();
  void Timer3Timer();
  void PreviewWindowBtnClick();  // open the preview window
  PreviewPanel& preview() { return *preview_; }

  // Downloads and controller settings.
  void BitBtn7Click();   // download the current area
  void Button5Click();   // send the trigger settings
  void DataTimeTimer();  // the clock and day count of the debug panel

  // The link panel: the port list, the link's effects on the window, its
  // timers and clock (link_panel.h).
  LinkPanel& linkPanel() { return *linkPanel_; }

  // The document (store, profile, image buffer, clipboard) and the state the
  // form owns.
  Document& document() { return document_; }
  LanguageMode languageMode;
  // The grid entry panel: the pointer state and the value entry.
  EntryPanel& entry() { return *entry_; }

  Ui::TForm2* form() const { return ui_.get(); }
  StringGrid* grid() const { return StringGrid1; }
  QMenu* rightMenu() const { return RightMenu; }
  Shape* previewLamp(int index) const { return preview_->lamp(index); }

  // The built-in virtual controller offered in the port list, and the
  // playback of what it received on the preview lamps (Mianc_virtual.cpp).
  VirtualController& virtualController();
  void PlaybackClick();  // "回放": starts or stops the playback
  void PlaybackTimer();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Anchor {
    QWidget* widget;
    int rightMargin;
    int bottomMargin;  // -1: the height stays
  };

  void GroupRadioButtons();
  void CreateGrid();
  void CreateMenu();
  void CreateZoomItems();
  void CreateTimers();
  void CreatePanels();
  void CreatePreviewLamps();
  void AttachNumberFilters();
  void ConnectHandlers();
  void ConnectEntry();
  void ConnectSettings();
  void ConnectMenu();
  void ConnectFiles();
  void ConnectTableFiles();
  void ExportTable(bool png);
  void ImportTable(bool png);
  void ConnectPreview();
  std::string ChooseFile(bool save, const char* folder, const char* filter, const char* extension,
                         const QString& preset);
  bool RefuseEmptySave(SaveCommand command);
  void Report(const Outcome& outcome);
  void ShowSaveLog(const SaveLog& log);
  void CreateLink();
  DownloadControls CurrentDownloadControls() const;
  void InitTriggerControls();
  void SwitchToModelVQM28();
  void RunLoadStep(ConfigFaults& faults, const std::function<void()>& step);
  void ApplyConfigKey(const IniFile& ini, const ConfigKey& key, const std::string& path,
                      ConfigFaults& faults);
  QString ConfigValue(const ConfigKey& key) const;
  void AnchorControls();
  void FillTimeLists();
  void SwitchLanguage(Language language);
  void ApplyControlStates(const ControlStates& states);
  // The registered controls, resolved at their first use.
  const ControlLookup& Controls() const;
  void ApplyGridLayout(const GridLayout& layout);
  void LayoutForControllers();
  AreaControls ReadAreaControls() const;
  AreaControls& TakeAreaControls();
  void ShowAreaControls(const AreaControls& controls);
  void ShowAreaView(const AreaControls& controls, const AreaView& view);
  void ShowRestoredStep(int area);
  void StoreLoopMode(int loopMode);
  void CheckEndBoxClick(int box, bool checked);
  int ReadInt(const QString& text) const;
  HeaderControls CurrentHeaderControls() const;
  HeaderControls& TakeHeaderControls();
  QString Tr(const Text& text) const;

  Document document_;
  std::unique_ptr<Ui::TForm2> ui_;
  StringGrid* StringGrid1 = nullptr;
  QMenu* RightMenu = nullptr;
  QTimer* Timer1 = nullptr;
  QTimer* Timer5 = nullptr;
  QTimer* DataTime = nullptr;
  mutable ControlLookup controls_;
  NumberKeyFilter* numberFilter_ = nullptr;
  DigitsValidator* digitsValidator_ = nullptr;
  Anchor anchors_[6] = {};
  int anchorCount_ = 0;
  std::unique_ptr<LinkPanel> linkPanel_;
  ControllerLink* link_ = nullptr;  // the link panel's
  std::unique_ptr<TriggerSettingsPanel> settingsPanel_;
  // The pattern file commands (Mianc_files.cpp): the names SaveDialog1 and
  // OpenDialog1 last held, and the refusal while the link sends.
  bool RefuseWhileSending(const Text& command);
  QString saveDialog1FileName_;
  QString openDialog1FileName_;
  // tempRGB.bin could be neither read whole nor kept as a copy: the close
  // must not overwrite it.
  bool keepResumeFile_ = false;
  int closeExitCode_ = 0;
  bool closed_ = false;

  // The virtual controller, its port entry, the "2/7" label of all-areas
  // downloads and the playback (Mianc_virtual.cpp).
  void ConnectVirtual();
  void AddVirtualEntry();
  std::string VirtualDevice();
  void ShowAreaOfAreas(int area);
  std::unique_ptr<VirtualPanel> virtual_;

  // The grid entry, the editing commands and the preview (Mianc_grid.cpp,
  // Mianc_menu.cpp, Mianc_preview.cpp).
  std::unique_ptr<EntryPanel> entry_;
  std::unique_ptr<EditCommandsPanel> commands_;
  std::unique_ptr<PreviewPanel> preview_;
  // The keyboard over the grid (grid_keys.h), made after the entry is
  // connected and gone before the entry panel.
  std::unique_ptr<GridKeys> keys_;
  UndoMenu* undoMenu_ = nullptr;
};

}  // namespace vqled
