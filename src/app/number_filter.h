// The numeric key filter of the number fields (Edit6KeyPress): a typed
// character other than the digits and backspace is discarded before it
// reaches the control. A validator on the same fields stops pasted text, so
// no non-digit reaches them by any road.
#pragma once

#include <QObject>
#include <QValidator>

class QWidget;

namespace vqled {

// Accepts texts made of digits only (the empty text is intermediate, so a
// field can be cleared before a new number is typed).
class DigitsValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& pos) const override;
};

class NumberKeyFilter : public QObject {
 public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override;
};

// Installs the key filter and the validator on a line edit or on an
// editable combo box; other widgets get the key filter only.
void AttachNumberFilter(QWidget* field, NumberKeyFilter* filter, DigitsValidator* validator);

}  // namespace vqled
