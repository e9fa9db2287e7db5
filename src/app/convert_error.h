// The integer conversion of a control's text. An empty or non-numeric text
// raises ConvertError; the application's error display shows its text and the
// program goes on with the next event.
#pragma once

#include <QString>
#include <stdexcept>

namespace vqled {

class ConvertError : public std::runtime_error {
 public:
  explicit ConvertError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// The text as a decimal integer; textVariant picks the language of the
// error text.
int StrToInt(const QString& text, int textVariant);

}  // namespace vqled
