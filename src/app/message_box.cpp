#include "message_box.h"

#include <QMessageBox>
#include <utility>

namespace vqled {

namespace {

MessageHook& Hook() {
  static MessageHook hook;
  return hook;
}

QMessageBox::Icon BoxIcon(MessageIcon icon) {
  switch (icon) {
    case MESSAGE_INFORMATION:
      return QMessageBox::Information;
    case MESSAGE_ERROR:
      return QMessageBox::Critical;
    default:
      return QMessageBox::NoIcon;
  }
}

}  // namespace

void SetMessageHook(MessageHook hook) {
  Hook() = std::move(hook);
}

void ShowMessage(QWidget* parent, const QString& caption, const QString& text, MessageIcon icon) {
  if (Hook()) {
    Hook()(parent, caption, text, icon);
    return;
  }
  QMessageBox box(BoxIcon(icon), caption, text, QMessageBox::Ok, parent);
  box.exec();
}

}  // namespace vqled
