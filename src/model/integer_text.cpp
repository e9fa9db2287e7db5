#include "model/integer_text.h"

#include <charconv>
#include <string>

namespace vqled {

bool ParseInteger(std::string_view text, int32_t& value) {
  std::string_view digits = text;
  if (!digits.empty() && digits.front() == '+') {
    digits.remove_prefix(1);  // from_chars takes a minus sign only
    if (!digits.empty() && digits.front() == '-') return false;
  }
  int32_t parsed = 0;
  const char* end = digits.data() + digits.size();
  const auto [ptr, ec] = std::from_chars(digits.data(), end, parsed);
  if (ec != std::errc() || ptr != end) return false;
  value = parsed;
  return true;
}

Text ConversionError(std::string_view text) {
  const std::string quoted(text);
  return {"“" + quoted + "”不是有效的整数值", "'" + quoted + "' is not a valid integer value"};
}

Outcome ReadInteger(std::string_view text, int32_t& value) {
  if (ParseInteger(text, value)) return Outcome::Ok();
  return Outcome::Fail(ConversionError(text));
}

}  // namespace vqled
