// A user-visible text in its two variants. The window picks one by
// textVariant (0 the Chinese text, 1 the English text) when it shows it.
#pragma once

#include <string>
#include <utility>

namespace vqled {

struct Text {
  std::string zh;
  std::string en;

  const std::string& For(int textVariant) const { return textVariant == 0 ? zh : en; }
  bool empty() const { return zh.empty() && en.empty(); }
};

// The outcome of an operation that can fail with a message for the user.
struct Outcome {
  bool ok = true;
  Text message;

  static Outcome Ok() { return {}; }
  static Outcome Fail(Text text) { return {false, std::move(text)}; }
};

}  // namespace vqled
