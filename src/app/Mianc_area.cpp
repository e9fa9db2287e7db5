// TForm2: the model list ComboBox6, the controller count ComboBox4, the area
// tabs and the play-setting and default-time controls of the current area.
// The rules are the document's; the form moves its controls into the
// document's AreaControls, runs the rule and shows the result again with the
// controls' own signals quiet, so a rule runs exactly the handlers it names.
#include <QAction>
#include <QMenu>
#include <QSignalBlocker>
#include <QTimer>

#include "Mianc.h"
#include "application.h"
#include "convert_error.h"
#include "string_grid.h"
#include "ui_Mianc.h"

namespace vqled {

namespace {

// The loop buttons by loop mode: 0 go on to the next area, 1 for ever,
// 2 counted, 3 once.
QRadioButton* LoopButton(const Ui::TForm2& ui, int loopMode) {
  QRadioButton* const buttons[] = {ui.RadioButton4, ui.RadioButton3, ui.RadioButton2,
                                   ui.RadioButton1};
  return loopMode >= 0 && loopMode < 4 ? buttons[loopMode] : nullptr;
}

QComboBox* TimeList(const Ui::TForm2& ui, int k) {
  QComboBox* const lists[] = {ui.time1, ui.time2, ui.time3, ui.time4, ui.time5};
  return lists[k];
}

QComboBox* UnitList(const Ui::TForm2& ui, int k) {
  QComboBox* const lists[] = {ui.timeT1, ui.timeT2, ui.timeT3, ui.timeT4, ui.timeT5};
  return lists[k];
}

}  // namespace

void TForm2::ConnectHandlers() {
  connect(ui_->ComboBox6, &QComboBox::activated, this,
          [this] { RunHandler([this] { ComboBox6Change(); }); });
  connect(ui_->ComboBox4, &QComboBox::activated, this,
          [this] { RunHandler([this] { ComboBox4Change(); }); });
  connect(ui_->ComboBox4->lineEdit(), &QLineEdit::textEdited, this,
          [this] { RunHandler([this] { ComboBox4Change(); }); });
  connect(ui_->TabControl1, &QTabBar::currentChanged, this,
          [this] { RunHandler([this] { ShowArea(); }); });
  for (int mode = 0; mode < 4; ++mode) {
    connect(LoopButton(*ui_, mode), &QRadioButton::toggled, this, [this, mode](bool checked) {
      if (checked) StoreLoopMode(mode);
    });
  }
  connect(ui_->Edit6, &QLineEdit::textChanged, this,
          [this] { RunHandler([this] { Edit6Change(); }); });
  connect(ui_->CheckBox2, &QCheckBox::toggled, this, [this] { CheckBox2Click(); });
  connect(ui_->CheckBox3, &QCheckBox::toggled, this, [this] { CheckBox3Click(); });
  connect(ui_->CheckBox6, &QCheckBox::toggled, this, [this] { CheckBox6Click(); });
  connect(ui_->ComboBox13, &QComboBox::activated, this, [this] { ComboBox13Change(); });
  for (int k = 0; k < kDefaultTimeCount; ++k) {
    connect(TimeList(*ui_, k), &QComboBox::editTextChanged, this,
            [this] { RunHandler([this] { StoreDefaultTimes(); }); });
    connect(UnitList(*ui_, k), &QComboBox::currentIndexChanged, this,
            [this] { RunHandler([this] { StoreDefaultTimes(); }); });
  }
  connect(ui_->BitBtn3, &QPushButton::clicked, this, [this] { BitBtn3Click(); });
  connect(ui_->BitBtn10, &QPushButton::clicked, this, [this] { BitBtn10Click(); });
  connect(ui_->ComboBox8, &QComboBox::activated, this, [this] { ComboBox8Change(); });
  connect(ui_->BitBtn15, &QPushButton::clicked, this, [this] { BitBtn15Click(); });
  connect(ui_->CheckBox7, &QCheckBox::toggled, this, [this] { CheckBox7Click(); });
  connect(ui_->BitBtn12, &QPushButton::clicked, this,
          [this] { RunHandler([this] { BitBtn12Click(); }); });
  connect(ui_->BitBtn11, &QPushButton::clicked, this,
          [this] { RunHandler([this] { BitBtn11Click(); }); });
  connect(ui_->BitBtn13, &QPushButton::clicked, this,
          [this] { RunHandler([this] { BitBtn13Click(); }); });
}

// Applies the profile of ComboBox6's item: the model's control states and
// tabs, the first tab selected, area 1 current. Returns the channels of one
// controller.
int TForm2::ApplyModelProfile() {
  const ProfileChange change = document_.ApplyModel(ui_->ComboBox6->currentIndex());
  ApplyControlStates(change.controls);
  const QSignalBlocker quietTabs(ui_->TabControl1);
  if (change.tabCaptions != nullptr) {
    while (ui_->TabControl1->count() > 0) ui_->TabControl1->removeTab(0);
    for (int i = 0; i < change.tabCaptions->count; ++i) {
      ui_->TabControl1->addTab(QString::fromUtf8(change.tabCaptions->captions[i]));
    }
  }
  ui_->TabControl1->setCurrentIndex(0);
  if (change.controllerCountReset) {
    const QSignalBlocker quiet(ui_->ComboBox4);
    ui_->ComboBox4->setCurrentIndex(0);
  }
  return change.channelsPerController;
}

// Every control state the model's rules name, through the resolved
// registry (the popup items N7 and N8 are actions of RightMenu and take only
// the enabled state). RadioButton3 shown checked is a display default and
// stores nothing.
void TForm2::ApplyControlStates(const ControlStates& states) {
  for (const ControlSetting& setting : states) {
    QObject* found = Controls().Find(setting.control);
    if (auto* item = qobject_cast<QAction*>(found)) {
      if (setting.property == CONTROL_ENABLED) item->setEnabled(setting.value);
      continue;
    }
    auto* control = qobject_cast<QWidget*>(found);
    if (control == nullptr) continue;
    switch (setting.property) {
      case CONTROL_SHOWN:
        control->setVisible(setting.value);
        break;
      case CONTROL_ENABLED:
        control->setEnabled(setting.value);
        break;
      case CONTROL_CHECKED:
        if (auto* button = qobject_cast<QAbstractButton*>(control)) {
          const QSignalBlocker quiet(button);
          button->setChecked(setting.value);
        }
        break;
    }
  }
}

void TForm2::LayoutGrid(int channels) {
  ApplyGridLayout(document_.LayoutGrid(channels));
}

void TForm2::ApplyGridLayout(const GridLayout& layout) {
  StringGrid1->setDefaultRowHeight(layout.defaultRowHeight);
  StringGrid1->setRowCount(layout.rowCount);
  StringGrid1->setColumnCount(layout.columnCount);
  StringGrid1->setDefaultColumnWidth(layout.defaultColumnWidth);
  StringGrid1->setRowHeight(0, layout.row0Height);
  StringGrid1->setColumnWidth(0, layout.column0Width);
  StringGrid1->setColumnWidth(1, layout.column1Width);
  QFont font = StringGrid1->font();
  font.setPointSize(layout.fontSize);
  StringGrid1->setFont(font);
  StringGrid1->setGridLineWidth(layout.gridLineWidth);
  StringGrid1->invalidate();
}

// The grid for all controllers of ComboBox4. A count that is no number is a
// conversion error; one outside 1..20 is brought into that range. A typed
// count selects its item as a picked one does, so that the count shown is
// the one Config.ini (NUM) and a .led file save.
void TForm2::LayoutForControllers() {
  GridLayout grid;
  const Outcome read =
      document_.LayoutForControllers(ui_->ComboBox4->currentText().toStdString(), grid);
  if (!read.ok) throw ConvertError(Tr(read.message));
  const int count = document_.controllerCount();
  if (ui_->ComboBox4->currentIndex() != count - 1 ||
      ui_->ComboBox4->currentText() != QString::number(count)) {
    const QSignalBlocker quiet(ui_->ComboBox4);
    ui_->ComboBox4->setCurrentIndex(count - 1);
  }
  ApplyGridLayout(grid);
}

// A model switch is no undo step, though showing area 1 may enable it.
void TForm2::ComboBox6Change() {
  StepGuard noStep(document_, STEP_NONE);
  LayoutGrid(ApplyModelProfile());
  if (ui_->ComboBox4->isEnabled()) LayoutForControllers();
  ShowArea();
}

// The area controls keep showing what they showed: only the model is
// applied again and the grid laid out for the new count.
void TForm2::ComboBox4Change() {
  ApplyModelProfile();
  LayoutForControllers();
}

AreaControls TForm2::ReadAreaControls() const {
  AreaControls controls;
  controls.loopButton = -1;
  for (int mode = 0; mode < 4; ++mode) {
    if (LoopButton(*ui_, mode)->isChecked()) controls.loopButton = mode;
  }
  controls.edit6 = ui_->Edit6->text().toStdString();
  controls.checkBox2Checked = ui_->CheckBox2->isChecked();
  controls.checkBox2Enabled = ui_->CheckBox2->isEnabled();
  controls.gridShown = !StringGrid1->isHidden();
  controls.checkBox3Checked = ui_->CheckBox3->isChecked();
  controls.checkBox3Enabled = ui_->CheckBox3->isEnabled();
  controls.checkBox6Checked = ui_->CheckBox6->isChecked();
  controls.checkBox6Enabled = ui_->CheckBox6->isEnabled();
  controls.comboBox13Index = ui_->ComboBox13->currentIndex();
  for (int k = 0; k < kDefaultTimeCount; ++k) {
    controls.timeText[k] = TimeList(*ui_, k)->currentText().toStdString();
    controls.timeUnitIndex[k] = UnitList(*ui_, k)->currentIndex();
  }
  return controls;
}

// The area controls' state moved into the document's form inputs.
AreaControls& TForm2::TakeAreaControls() {
  document_.controls() = ReadAreaControls();
  return document_.controls();
}

void TForm2::ShowAreaControls(const AreaControls& controls) {
  if (QRadioButton* button = LoopButton(*ui_, controls.loopButton)) {
    const QSignalBlocker quiet(button);
    button->setChecked(true);
  }
  const QSignalBlocker quietEdit(ui_->Edit6);
  ui_->Edit6->setText(QString::fromStdString(controls.edit6));
  StringGrid1->setVisible(controls.gridShown);
  struct Box {
    QCheckBox* box;
    bool checked;
    bool enabled;
  };
  const Box boxes[] = {{ui_->CheckBox2, controls.checkBox2Checked, controls.checkBox2Enabled},
                       {ui_->CheckBox3, controls.checkBox3Checked, controls.checkBox3Enabled},
                       {ui_->CheckBox6, controls.checkBox6Checked, controls.checkBox6Enabled}};
  for (const Box& box : boxes) {
    const QSignalBlocker quiet(box.box);
    box.box->setChecked(box.checked);
    box.box->setEnabled(box.enabled);
  }
  const QSignalBlocker quietList(ui_->ComboBox13);
  ui_->ComboBox13->setCurrentIndex(controls.comboBox13Index);
  for (int k = 0; k < kDefaultTimeCount; ++k) {
    const QSignalBlocker quietTime(TimeList(*ui_, k));
    const QSignalBlocker quietUnit(UnitList(*ui_, k));
    const QString text = QString::fromStdString(controls.timeText[k]);
    if (TimeList(*ui_, k)->currentText() != text) TimeList(*ui_, k)->setEditText(text);
    UnitList(*ui_, k)->setCurrentIndex(controls.timeUnitIndex[k]);
  }
}

void TForm2::ShowAreaView(const AreaControls& controls, const AreaView& view) {
  ShowAreaControls(controls);
  if (view.gridChanged) ApplyGridLayout(view.grid);
  StringGrid1->invalidate();
}

// TabControl1Change: the selected tab's area becomes current and its
// settings are shown; a loop button or CheckBox2 that becomes checked runs
// its handling for the new area, the end boxes and default times only show.
void TForm2::ShowArea() {
  ui_->Label13->clear();
  TakeAreaControls();
  ShowAreaView(document_.controls(), document_.ShowArea(ui_->TabControl1->currentIndex()));
}

// After an undo or redo: the step's area current, its tab selected and its
// settings shown as the store holds them, the grid repainted.
void TForm2::ShowRestoredStep(int area) {
  if (area < 0) return;
  TakeAreaControls();
  const AreaView view = document_.ShowRestoredArea(area);
  if (ui_->TabControl1->count() > area) {
    const QSignalBlocker quiet(ui_->TabControl1);
    ui_->TabControl1->setCurrentIndex(area);
  }
  ShowAreaView(document_.controls(), view);
}

void TForm2::StoreLoopMode(int loopMode) {
  TakeAreaControls();
  document_.ChooseLoopMode(loopMode);
  ShowAreaControls(document_.controls());
}

void TForm2::RadioButton1Click() {
  StoreLoopMode(LOOP_ONCE);
}
void TForm2::RadioButton2Click() {
  StoreLoopMode(LOOP_COUNT);
}
void TForm2::RadioButton3Click() {
  StoreLoopMode(LOOP_FOREVER);
}
void TForm2::RadioButton4Click() {
  StoreLoopMode(LOOP_NEXT_AREA);
}

void TForm2::Edit6Change() {
  const Outcome stored = document_.StoreLoopCount(ui_->Edit6->text().toStdString());
  if (!stored.ok) throw ConvertError(Tr(stored.message));
}

void TForm2::CheckBox2Click() {
  TakeAreaControls();
  document_.StoreEnabled(ui_->CheckBox2->isChecked());
  ShowAreaControls(document_.controls());
}

void TForm2::CheckEndBoxClick(int box, bool checked) {
  TakeAreaControls();
  document_.CheckEndBox(static_cast<EndBox>(box), checked);
  ShowAreaControls(document_.controls());
}

void TForm2::CheckBox3Click() {
  CheckEndBoxClick(END_BOX_ALL_OFF, ui_->CheckBox3->isChecked());
}
void TForm2::CheckBox6Click() {
  CheckEndBoxClick(END_BOX_NEXT_AREA, ui_->CheckBox6->isChecked());
}

void TForm2::ComboBox13Change() {
  TakeAreaControls();
  document_.StoreEndListChoice(ui_->ComboBox13->currentIndex());
}

// time1Change: an empty or zero time becomes "1"; every default time of the
// current area is stored from the time and unit lists.
void TForm2::StoreDefaultTimes() {
  TakeAreaControls();
  const Outcome stored = document_.StoreDefaultTimes();
  ShowAreaControls(document_.controls());
  if (!stored.ok) throw ConvertError(Tr(stored.message));
}

void TForm2::BitBtn3Click() {
  ui_->Label13->clear();
  TakeAreaControls();
  ShowAreaView(document_.controls(), document_.ClearAllAreas());
}

void TForm2::BitBtn10Click() {
  document_.ClearCurrentArea();
  StringGrid1->invalidate();
}

void TForm2::ComboBox8Change() {
  ChooseFade(document_.store(), ui_->ComboBox8->currentIndex());
}

void TForm2::BitBtn15Click() {
  ui_->GroupBox10->setVisible(ui_->GroupBox10->isHidden());
  ui_->GroupBox10->raise();
}

void TForm2::CheckBox7Click() {
  const bool shown = ui_->CheckBox7->isChecked();
  ui_->GroupBox1->setVisible(shown);
  ui_->GroupBox1->raise();
  if (shown) {
    DataTime->start();
  } else {
    DataTime->stop();
  }
}

}  // namespace vqled
