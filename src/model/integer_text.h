// The integer conversion of the form's number fields (Edit6, time1..time5,
// ComboBox4, ...). A text converts when it is an optional sign followed by
// decimal digits whose value fits a 32-bit signed integer; anything else,
// the empty text included, is a conversion error for the user.
#pragma once

#include <cstdint>
#include <string_view>

#include "model/text.h"

namespace vqled {

// Converts text into value; false (value untouched) when it is no integer.
bool ParseInteger(std::string_view text, int32_t& value);

// The message of a failed conversion of text, in both variants.
Text ConversionError(std::string_view text);

// Converts text into value, or fails with the conversion error.
Outcome ReadInteger(std::string_view text, int32_t& value);

}  // namespace vqled
