#include "edit_commands_panel.h"

#include "convert_error.h"
#include "editor/commands.h"
#include "editor/generators.h"
#include "entry_panel.h"
#include "panel_text.h"
#include "string_grid.h"
#include "ui_Mianc.h"

namespace vqled {

namespace {

// Where the running-light dialogs open.
constexpr QPoint kDialogSpot(344, 216);

}  // namespace

EditCommandsPanel::EditCommandsPanel(Ui::TForm2& ui, StringGrid* grid, EntryPanel& entry,
                                     Document& document, const LanguageMode& language)
    : ui_(ui), grid_(grid), entry_(entry), document_(document), language_(language) {}

// Copying and clearing also put the copied block on the system clipboard.
void EditCommandsPanel::CopyWith(bool fill, bool clear) {
  document_.clipboard().fillAfterCopy = fill;
  document_.clipboard().clearAfterCopy = clear;
  const GridCellRect rect = SelectionRect(entry_.pointer);
  CopySelection(document_.store(), document_.clipboard(), rect, entry_.EntryNumber());
  const bool copied = rect.left >= 0 && rect.top >= 0 && rect.right >= rect.left &&
                      rect.bottom >= rect.top && PatternStore::InArea(rect.top, rect.left);
  if (!fill && copied) {
    systemClipboard_.Put(CopiedBlock(document_.store(), document_.clipboard(), rect));
  }
  grid_->invalidate();
}

void EditCommandsPanel::InsertColumn() {
  vqled::InsertColumn(document_.store(), entry_.pointer.editCell);
  grid_->invalidate();
}

void EditCommandsPanel::DeleteColumn() {
  vqled::DeleteColumn(document_.store(), entry_.pointer.editCell);
  grid_->invalidate();
}

// A block another window or program put on the system clipboard pastes with
// its top-left corner at editCell (with its frame times when it came from an
// editor window); a block that does not parse is refused whole. Otherwise the
// editor's own clipboard pastes.
void EditCommandsPanel::PasteClip() {
  const GridCell at = entry_.pointer.editCell;
  if (systemClipboard_.HoldsForeignBlock()) {
    const TableParse block = systemClipboard_.Take();
    if (!block.outcome.ok) throw ConvertError(InLanguage(block.outcome.message, language_));
    PasteAreaTable(document_.store(), document_.store().currentArea, at.row, at.column,
                   block.table);
  } else {
    vqled::PasteClip(document_.store(), document_.clipboard(), at);
  }
  grid_->invalidate();
}

void EditCommandsPanel::CopyChannel() {
  vqled::CopyChannel(document_.store(), document_.clipboard(), entry_.pointer.editCell,
                     document_.store().gridColumnCount);
  grid_->invalidate();
}

void EditCommandsPanel::PasteChannel() {
  vqled::PasteChannel(document_.store(), document_.clipboard(), entry_.pointer.editCell,
                      document_.store().gridColumnCount);
  grid_->invalidate();
}

// The ramps step by ComboBox1's text in ComboBox3's direction.
void EditCommandsPanel::Ramp(bool alongFrames) {
  const std::string step = ui_.ComboBox1->currentText().toStdString();
  const std::string direction = ui_.ComboBox3->currentText().toStdString();
  const RampControls controls{step, direction};
  const Outcome ramped = alongFrames ? RampAlongFrames(document_.store(), document_.profile(),
                                                       entry_.pointer.editCell, controls)
                                     : RampDownChannels(document_.store(), document_.profile(),
                                                        entry_.pointer.editCell, controls);
  grid_->invalidate();
  if (!ramped.ok) throw ConvertError(InLanguage(ramped.message, language_));
}

void EditCommandsPanel::ShowRunDialog(QGroupBox* dialog, QLabel* title, const char* caption,
                                      QLineEdit* const (&fields)[4], const RunFieldValues& values) {
  const int numbers[4] = {values.firstFrame, values.lastFrame, values.firstChannel,
                          values.lastChannel};
  for (int i = 0; i < 4; ++i) fields[i]->setText(QString::number(numbers[i]));
  title->setText(QString::fromUtf8(caption));
  dialog->move(kDialogSpot);
  dialog->show();
  dialog->raise();
}

void EditCommandsPanel::OpenStackedRunDialog() {
  QLineEdit* const fields[4] = {ui_.Edit7, ui_.Edit8, ui_.Edit9, ui_.Edit10};
  ShowRunDialog(ui_.GroupBox8, ui_.Label112, "流水叠加", fields,
                StackedRunDialogValues(entry_.pointer.editCell, document_.profile()));
}

void EditCommandsPanel::OpenRunDialog() {
  QLineEdit* const fields[4] = {ui_.Edit2, ui_.Edit3, ui_.Edit4, ui_.Edit5};
  ShowRunDialog(ui_.GroupBox9, ui_.Label111, "流水", fields,
                RunDialogValues(entry_.pointer.editCell, document_.profile(),
                                document_.store().gridColumnCount));
}

// OK of a running-light dialog: the run is written with the number of HYEdit.
void EditCommandsPanel::WriteRun(QGroupBox* dialog, QLineEdit* const (&fields)[4], bool stacked) {
  const std::string texts[4] = {fields[0]->text().toStdString(), fields[1]->text().toStdString(),
                                fields[2]->text().toStdString(), fields[3]->text().toStdString()};
  const RunFields run{texts[0], texts[1], texts[2], texts[3]};
  const int value = entry_.EntryNumber();
  const Outcome filled = stacked ? FillStackedRun(document_.store(), run, value)
                                 : FillRun(document_.store(), run, value);
  if (!filled.ok) throw ConvertError(InLanguage(filled.message, language_));
  dialog->hide();
  grid_->invalidate();
}

void EditCommandsPanel::FinishStackedRun() {
  QLineEdit* const fields[4] = {ui_.Edit7, ui_.Edit8, ui_.Edit9, ui_.Edit10};
  WriteRun(ui_.GroupBox8, fields, true);
}

void EditCommandsPanel::FinishRun() {
  QLineEdit* const fields[4] = {ui_.Edit2, ui_.Edit3, ui_.Edit4, ui_.Edit5};
  WriteRun(ui_.GroupBox9, fields, false);
}

// A dialog's value box feeds the number the run writes into HYEdit.
void EditCommandsPanel::FeedValueBox(QLineEdit* box) {
  std::string boxText = box->text().toStdString();
  std::string entryText = ui_.HYEdit->text().toStdString();
  const Outcome fed = FeedEntryFromValueBox(boxText, entryText);
  if (!fed.ok) throw ConvertError(InLanguage(fed.message, language_));
  if (box->text() != QString::fromStdString(boxText)) box->setText(QString::fromStdString(boxText));
  ui_.HYEdit->setText(QString::fromStdString(entryText));
}

}  // namespace vqled
