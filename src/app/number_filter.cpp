#include "number_filter.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

#include "model/area_settings.h"

namespace vqled {

namespace {

// Whether a key press carries only characters the filter lets through:
// digits and backspace; keys without a printable character (cursor keys,
// Enter, Escape, shortcuts) keep their function.
bool KeyPassesFilter(const QKeyEvent& key) {
  for (const QChar ch : key.text()) {
    if (ch.isPrint() && !PassesNumericFilter(ch.unicode())) return false;
  }
  return true;
}

}  // namespace

QValidator::State DigitsValidator::validate(QString& input, int&) const {
  for (const QChar ch : input) {
    if (ch < u'0' || ch > u'9') return Invalid;
  }
  return input.isEmpty() ? Intermediate : Acceptable;
}

bool NumberKeyFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && !KeyPassesFilter(*static_cast<QKeyEvent*>(event))) {
    return true;
  }
  return QObject::eventFilter(watched, event);
}

void AttachNumberFilter(QWidget* field, NumberKeyFilter* filter, DigitsValidator* validator) {
  QLineEdit* edit = qobject_cast<QLineEdit*>(field);
  if (QComboBox* combo = qobject_cast<QComboBox*>(field)) edit = combo->lineEdit();
  if (edit != nullptr) {
    edit->setValidator(validator);
    edit->installEventFilter(filter);
  }
  field->installEventFilter(filter);
}

}  // namespace vqled
