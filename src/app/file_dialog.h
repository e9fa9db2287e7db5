// The window's file dialogs SaveDialog1 and OpenDialog1. Every command asks
// through RunFileDialog, so tests can install an answer in place of the
// modal dialog and never run a real modal loop.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace vqled {

struct FileDialogRequest {
  bool save = false;
  QString directory;    // where the dialog opens
  QString filter;       // "All files (*.*)|*.*|led files (*.led)|*.led": caption|pattern pairs
  int filterIndex = 1;  // 1-based, of the caption|pattern pairs
  QString fileName;     // preset name, may be empty
};

// The chosen file's path, or an empty text when the user cancelled.
using FileDialogHook = std::function<QString(QWidget* parent, const FileDialogRequest&)>;

// Replaces the modal dialog by hook; an empty hook restores the dialog.
void SetFileDialogHook(FileDialogHook hook);

QString RunFileDialog(QWidget* parent, const FileDialogRequest& request);

// "caption|pattern|caption|pattern" as the toolkit's list of name filters,
// which take the pattern from the caption's parentheses. "*.*" stands for
// every file, so it becomes "*": a file without an extension is listed too.
QStringList NameFilters(const QString& filter);

}  // namespace vqled
