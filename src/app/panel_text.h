// A text of the system in the language the window shows.
#pragma once

#include <QString>

#include "model/text.h"
#include "ui/captions.h"

namespace vqled {

inline QString InLanguage(const Text& text, const LanguageMode& language) {
  return QString::fromStdString(text.For(language.textVariant));
}

}  // namespace vqled
