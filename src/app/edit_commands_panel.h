// The editing commands: the block commands of the grid's popup menu
// RightMenu (on the editor's clipboard), the two ramps, and the two
// running-light dialogs GroupBox8 ("流水叠加") and GroupBox9 ("流水"). They act
// on selectionRect and editCell of the grid entry's last release and end by
// repainting the grid; the dialogs' value boxes feed the number the runs
// write into HYEdit.
#pragma once

#include "document/document.h"
#include "system_clipboard.h"
#include "ui/captions.h"

class QGroupBox;
class QLabel;
class QLineEdit;

namespace Ui {
class TForm2;
}

namespace vqled {

class EntryPanel;
class StringGrid;
struct RunFieldValues;

class EditCommandsPanel {
 public:
  EditCommandsPanel(Ui::TForm2& ui, StringGrid* grid, EntryPanel& entry, Document& document,
                    const LanguageMode& language);

  void InsertColumn();  // N1
  void DeleteColumn();  // N2
  // N3, N4 (filling) and N6 (clearing).
  void CopyWith(bool fill, bool clear);
  void PasteClip();             // N5
  void Ramp(bool alongFrames);  // N8 along the frames, N7 down the channels
  void CopyChannel();           // N9
  void PasteChannel();          // N10
  void OpenStackedRunDialog();
  void OpenRunDialog();
  void FinishStackedRun();  // Button7
  void FinishRun();         // Button8
  void FeedValueBox(QLineEdit* box);

 private:
  void ShowRunDialog(QGroupBox* dialog, QLabel* title, const char* caption,
                     QLineEdit* const (&fields)[4], const RunFieldValues& values);
  void WriteRun(QGroupBox* dialog, QLineEdit* const (&fields)[4], bool stacked);

  Ui::TForm2& ui_;
  StringGrid* grid_;
  EntryPanel& entry_;
  Document& document_;
  const LanguageMode& language_;
  SystemClipboard systemClipboard_;
};

}  // namespace vqled
