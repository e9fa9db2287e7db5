// The undo and redo of the window: the items UndoItem and RedoItem at the
// top of RightMenu, each naming the step it undoes or redoes in the language
// in force ("Undo Fill selected", "撤销 填充选中", "復原 填充選中") and disabled
// when there is none, and the keys Ctrl+Z (undo), Ctrl+Shift+Z and Ctrl+Y
// (redo) on the whole window.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

#include "editor/history.h"
#include "ui/captions.h"

class QAction;
class QMenu;
class QWidget;

namespace vqled {

// A step's name as its command's caption, in language.
QString StepName(StepKind kind, Language language);

class UndoMenu : public QObject {
 public:
  UndoMenu(QWidget* window, QMenu* menu, const History& history, std::function<void()> undo,
           std::function<void()> redo);

  // The captions follow the language switches.
  void SetLanguage(Language language);
  // The items' captions and states from the history.
  void Refresh();

 private:
  QAction* undoItem_;
  QAction* redoItem_;
  const History& history_;
  Language language_ = LANGUAGE_SIMPLIFIED;
};

}  // namespace vqled
