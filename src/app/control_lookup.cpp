#include "control_lookup.h"

#include <QComboBox>
#include <QObject>
#include <QtGlobal>

namespace vqled {

namespace {

[[noreturn]] void Fatal(const QString& message) {
  qFatal("%s", qPrintable(message));
}

}  // namespace

QString MissingControlsMessage(const QStringList& names) {
  const QString list = names.join(QStringLiteral(", "));
  return QStringLiteral("窗口中没有名为 %1 的控件 / the window has no control named %1").arg(list);
}

QStringList ControlLookup::Resolve(QObject& window) {
  QStringList missing;
  for (int i = 0; i < kControlCount; ++i) {
    const ControlEntry& entry = kControls[i];
    if (entry.kind == CONTROL_VARIABLE) continue;
    const QString name = QString::fromLatin1(entry.name);
    controls_[i] = entry.kind == CONTROL_WINDOW ? &window : window.findChild<QObject*>(name);
    if (controls_[i] == nullptr || controls_[i]->objectName() != name) missing << name;
  }
  resolved_ = true;
  return missing;
}

QObject* ControlLookup::Find(const char* name) const {
  const int i = ControlIndex(name);
  if (i < 0 || controls_[i] == nullptr) Fatal(MissingControlsMessage({QString::fromLatin1(name)}));
  return controls_[i];
}

QComboBox* ControlLookup::List(const char* name) const {
  auto* list = qobject_cast<QComboBox*>(Find(name));
  if (list == nullptr) {
    Fatal(QStringLiteral("控件 %1 不是列表框 / the control %1 is no list")
              .arg(QString::fromLatin1(name)));
  }
  return list;
}

}  // namespace vqled
