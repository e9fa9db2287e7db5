#include "model/integer_text.h"

#include <gtest/gtest.h>

namespace vqled {
namespace {

TEST(IntegerTextTest, ConvertsSignedDecimalTextsThatFit) {
  struct Case {
    const char* text;
    bool ok;
    int32_t value;
  } cases[] = {{"0", true, 0},
               {"1000", true, 1000},
               {"-3", true, -3},
               {"+4", true, 4},
               {"007", true, 7},
               {"2147483647", true, 2147483647},
               {"-2147483648", true, -2147483647 - 1},
               {"2147483648", false, 99},
               {"", false, 99},
               {"+", false, 99},
               {"-", false, 99},
               {"+-1", false, 99},
               {"--1", false, 99},
               {" 1", false, 99},
               {"1 ", false, 99},
               {"1a", false, 99},
               {"0x10", false, 99},
               {"1.5", false, 99}};
  for (const Case& c : cases) {
    int32_t value = 99;
    EXPECT_EQ(ParseInteger(c.text, value), c.ok) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
  }
}

TEST(IntegerTextTest, ErrorQuotesTheTextInBothVariants) {
  int32_t value = 5;
  const Outcome outcome = ReadInteger("12b", value);
  EXPECT_FALSE(outcome.ok);
  EXPECT_EQ(value, 5);
  EXPECT_EQ(outcome.message.en, "'12b' is not a valid integer value");
  EXPECT_EQ(outcome.message.zh, "“12b”不是有效的整数值");
}

}  // namespace
}  // namespace vqled
