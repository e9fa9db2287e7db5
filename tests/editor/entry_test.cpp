#include "editor/entry.h"

#include <string>

#include "editor_fixture.h"

namespace vqled {
namespace {

using EntryTest = EditorTest;

TEST(FieldNumber, ReadsIntegersAndReportsTheRest) {
  struct Case {
    const char* text;
    bool ok;
    int value;
  } cases[] = {{"255", true, 255},        {" 40 ", true, 40}, {"-3", true, -3},
               {"+7", true, 7},           {"0", true, 0},     {"", false, 0},
               {"  ", false, 0},          {"x", false, 0},    {"12a", false, 0},
               {"99999999999", false, 0}, {"+-5", false, 0}};
  for (const Case& c : cases) {
    const FieldNumber number = ReadFieldNumber(c.text);
    EXPECT_EQ(number.ok, c.ok) << c.text;
    EXPECT_EQ(number.value, c.value) << c.text;
    EXPECT_EQ(number.error.empty(), c.ok) << c.text;
  }
  EXPECT_EQ(ReadFieldNumber("x").error.en, "'x' is not a valid integer value");
  EXPECT_EQ(ReadFieldNumber("x").error.zh, "'x' 不是有效的整数值");
}

TEST(EntryText, KeyReleaseCapsAndBlankTextBecomesOne) {
  struct Case {
    const char* typed;
    const char* afterKey;
  } cases[] = {{"300", "255"}, {"256", "255"}, {"255", "255"}, {"0", "0"}, {"40", "40"}, {"", ""}};
  for (const Case& c : cases) {
    std::string text = c.typed;
    EntryKeyReleased(text);
    EXPECT_EQ(text, c.afterKey) << c.typed;
  }
  for (const char* blank : {"", "   "}) {
    std::string text = blank;
    EntryTextChanged(text);
    EXPECT_EQ(text, "1");
  }
  std::string kept = "12";
  EntryTextChanged(kept);
  EXPECT_EQ(kept, "12");
}

TEST_F(EntryTest, ClickThatLitTheCellKeepsWhatWasTyped) {
  // A left click on an empty cell lights it with the box's number...
  const bool clickLitCell = ToggleEntryCell(store, {4, 5}, 255);
  EXPECT_TRUE(clickLitCell);
  EXPECT_EQ(At(5, 4), 255);
  // ...and the pointer leaving the box stores what was typed.
  ASSERT_TRUE(StoreEntryNumber(store, {4, 5}, "40").ok);
  EXPECT_EQ(At(5, 4), 40);
}

TEST_F(EntryTest, ClickOnALitCellClearsItUntilEnterConfirms) {
  At(5, 4) = 120;
  EXPECT_FALSE(ToggleEntryCell(store, {4, 5}, 255));
  EXPECT_EQ(At(5, 4), 0);
  ASSERT_TRUE(StoreEntryNumber(store, {4, 5}, "90").ok);  // Enter
  EXPECT_EQ(At(5, 4), 90);
}

TEST_F(EntryTest, BadTextOrPositionStoresNothing) {
  At(5, 4) = 33;
  const Outcome outcome = StoreEntryNumber(store, {4, 5}, "9x");
  EXPECT_FALSE(outcome.ok);
  EXPECT_EQ(outcome.message.en, "'9x' is not a valid integer value");
  EXPECT_EQ(At(5, 4), 33);
  EXPECT_TRUE(StoreEntryNumber(store, {-1, 5}, "7").ok);
  EXPECT_TRUE(StoreEntryNumber(store, {4, kRowsPerArea}, "7").ok);
  EXPECT_FALSE(ToggleEntryCell(store, {kColumnsPerArea, 5}, 7));
  EXPECT_EQ(store.Cell(1, 0, 0), 0);
}

TEST_F(EntryTest, TimeTypeChoiceKeepsTheValue) {
  store.frameTime[0].timeValue[6] = 2;  // default time 2
  PickTimeType(store, {6, 2}, 2);       // "s"
  EXPECT_EQ(store.frameTime[0].timeType[6], FRAME_TIME_S);
  EXPECT_EQ(FrameDurationMs(store, 0, 6), 2000);
  PickTimeType(store, {6, 2}, 4);  // no such item
  PickTimeType(store, {-1, 2}, 1);
  EXPECT_EQ(store.frameTime[0].timeType[6], FRAME_TIME_S);
  EXPECT_STREQ(kTimeTypeItems[3], "min");
}

TEST_F(EntryTest, TimeValueListByKindAndType) {
  auto items = std::make_unique<TimeValueItems>();
  BuildTimeValueItems(VALUE_KIND_STEP, FRAME_TIME_DEFAULT, *items);
  EXPECT_EQ(items->count, 3);
  EXPECT_EQ(items->values[2], 3);
  EXPECT_FALSE(items->wide);

  BuildTimeValueItems(VALUE_KIND_STEP, FRAME_TIME_MS, *items);
  ASSERT_EQ(items->count, 1003);
  EXPECT_EQ(items->values[2], 3);
  EXPECT_EQ(items->values[3], 1000);
  EXPECT_EQ(items->values[4], 999);
  EXPECT_EQ(items->values[1002], 1);
  EXPECT_TRUE(items->wide);

  BuildTimeValueItems(VALUE_KIND_BYTE, FRAME_TIME_DEFAULT, *items);
  EXPECT_EQ(items->count, 5);
  BuildTimeValueItems(VALUE_KIND_BYTE, 7, *items);  // any type but "-" gets the magnitudes
  EXPECT_EQ(items->count, 1005);
}

TEST_F(EntryTest, TimeValueChoiceStoresTheNumber) {
  ASSERT_TRUE(PickTimeValue(store, {6, 1}, "1000").ok);
  EXPECT_EQ(store.frameTime[0].timeValue[6], 1000);
  EXPECT_FALSE(PickTimeValue(store, {6, 1}, "ten").ok);
  EXPECT_EQ(store.frameTime[0].timeValue[6], 1000);
}

}  // namespace
}  // namespace vqled
