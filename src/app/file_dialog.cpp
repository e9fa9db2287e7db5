#include "file_dialog.h"

#include <QFileDialog>
#include <QStringList>
#include <utility>

namespace vqled {

namespace {

FileDialogHook& Hook() {
  static FileDialogHook hook;
  return hook;
}

}  // namespace

QStringList NameFilters(const QString& filter) {
  const QStringList parts = filter.split(u'|');
  QStringList filters;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString caption = parts[i];
    if (parts[i + 1] == QStringLiteral("*.*")) caption.replace(QStringLiteral("(*.*)"), "(*)");
    filters.append(caption);
  }
  return filters;
}

void SetFileDialogHook(FileDialogHook hook) {
  Hook() = std::move(hook);
}

QString RunFileDialog(QWidget* parent, const FileDialogRequest& request) {
  if (Hook()) return Hook()(parent, request);
  QFileDialog dialog(parent, QString(), request.directory);
  dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  const QStringList filters = NameFilters(request.filter);
  dialog.setNameFilters(filters);
  if (request.filterIndex >= 1 && request.filterIndex <= filters.size()) {
    dialog.selectNameFilter(filters[request.filterIndex - 1]);
  }
  if (!request.fileName.isEmpty()) dialog.selectFile(request.fileName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

}  // namespace vqled
