// TForm2: the three language switches. Each rewrites the captions its
// column of the caption table names (leaving the others as they are), sets
// the language mode and applies the model again, which makes area 1 current
// and lays the grid out anew; the area controls keep what they showed.
#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>

#include "Mianc.h"
#include "string_grid.h"
#include "ui_Mianc.h"
#include "undo_menu.h"

namespace vqled {

// Every registered control is found once, when a table first needs one; a
// control the window lacks stops the program with its name.
const ControlLookup& TForm2::Controls() const {
  if (!controls_.resolved()) {
    const QStringList missing = controls_.Resolve(const_cast<TForm2&>(*this));
    if (!missing.isEmpty()) qFatal("%s", qPrintable(MissingControlsMessage(missing)));
  }
  return controls_;
}

void TForm2::SwitchLanguage(Language language) {
  SelectLanguage(languageMode, language);
  preview_->SetLanguage(language);
  undoMenu_->SetLanguage(language);
  for (const CaptionRow& row : kCaptionRows) {
    const char* caption = row.caption[language];
    if (caption == nullptr) continue;
    const QString text = QString::fromUtf8(caption);
    QObject* control = Controls().Find(row.control);
    if (control == this) {
      setWindowTitle(text);
    } else if (auto* item = qobject_cast<QAction*>(control)) {
      item->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
      label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
      button->setText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
      group->setTitle(text);
    }
  }
  LayoutGrid(ApplyModelProfile());
  if (ui_->ComboBox4->isEnabled()) LayoutForControllers();
}

void TForm2::BitBtn12Click() {
  SwitchLanguage(LANGUAGE_SIMPLIFIED);
}
void TForm2::BitBtn11Click() {
  SwitchLanguage(LANGUAGE_TRADITIONAL);
}
void TForm2::BitBtn13Click() {
  SwitchLanguage(LANGUAGE_ENGLISH);
}

}  // namespace vqled
