// TForm2: the three language switches. Each rewrites the captions its
// column of the caption table names (leaving the others as they are), sets
// the language mode and applies the model again, which makes area 1 current
// and lays the grid out anew; the area controls keep what they showed.
#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>

#include "Mianc.h"
#include "string_grid.h"
#include "ui_Mianc.h"

namespace vqled {

void TForm2::SwitchLanguage(Language language) {
  SelectLanguage(languageMode, language);
  for (const CaptionRow& row : kCaptionRows) {
    const char* caption = row.caption[language];
    if (caption == nullptr) continue;
    const QString text = QString::fromUtf8(caption);
    const QString name = QString::fromLatin1(row.control);
    if (name == objectName()) {
      setWindowTitle(text);
    } else if (QAction* item = RightMenu->findChild<QAction*>(name)) {
      item->setText(text);
    } else if (auto* label = findChild<QLabel*>(name)) {
      label->setText(text);
    } else if (auto* button = findChild<QAbstractButton*>(name)) {
      button->setText(text);
    } else if (auto* group = findChild<QGroupBox*>(name)) {
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
