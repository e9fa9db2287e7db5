#include "convert_error.h"

#include "model/integer_text.h"

namespace vqled {

int StrToInt(const QString& text, int textVariant) {
  int32_t value = 0;
  const Outcome read = ReadInteger(text.toStdString(), value);
  if (!read.ok) throw ConvertError(QString::fromStdString(read.message.For(textVariant)));
  return value;
}

}  // namespace vqled
