#include "editor/cell_painter.h"

#include <string>

#include "editor_fixture.h"

namespace vqled {
namespace {

class CellPainterTest : public EditorTest {
 protected:
  CellPaint Paint(int row, int column, int textVariant = 0) {
    return PaintCell(store, profile, textVariant, row, column);
  }
  static std::string LastText(const CellPaint& paint) {
    return paint.textCount == 0 ? std::string() : paint.texts[paint.textCount - 1].text;
  }
};

constexpr PaintColour Fixed(uint8_t r, uint8_t g, uint8_t b) {
  return {COLOUR_RGB, {r, g, b}};
}

TEST(PadNumber, LeadingSpacesByLength) {
  struct Case {
    const char* in;
    const char* number;
    const char* channel;
  } cases[] = {{"5", "    5", "    5"},
               {"12", "  12", "  12"},
               {"123", " 123", "123"},
               {"1234", "1234", "1234"},
               {"ms", "  ms", "  ms"},
               {"min", " min", "min"},
               {"", "", ""}};
  for (const Case& c : cases) {
    char out[kCellTextCapacity];
    PadNumberText(c.in, out, sizeof out);
    EXPECT_STREQ(out, c.number) << c.in;
    PadChannelNumber(c.in, out, sizeof out);
    EXPECT_STREQ(out, c.channel) << c.in;
  }
  char small[4];
  EXPECT_EQ(PadNumberText("7", small, sizeof small), 3);  // cut to the buffer, terminated
  EXPECT_STREQ(small, "   ");
}

TEST_F(CellPainterTest, HeaderRowNumbersTheFrames) {
  CellPaint corner = Paint(0, 0, 0);
  EXPECT_EQ(corner.box, BOX_FRAMED);
  EXPECT_EQ(corner.boxColour.role, COLOUR_INACTIVE_CAPTION);
  EXPECT_EQ(LastText(corner), "    帧数");
  EXPECT_EQ(LastText(Paint(0, 0, 1)), "    N0");
  EXPECT_EQ(corner.outline, OUTLINE_AROUND);

  CellPaint mark = Paint(0, 1);
  EXPECT_EQ(mark.box, BOX_FRAMED);
  EXPECT_EQ(mark.textCount, 0);
  EXPECT_EQ(mark.outline, OUTLINE_NONE);

  EXPECT_EQ(LastText(Paint(0, 2)), "    1");
  EXPECT_EQ(LastText(Paint(0, 101)), " 100");
  EXPECT_EQ(LastText(Paint(0, 4001)), "4000");
  EXPECT_EQ(Paint(0, 5).texts[0].colour.role, COLOUR_WINDOW_TEXT);
}

TEST_F(CellPainterTest, TimeRowsShowValueAndUnitOverZero) {
  const CellPaint value = Paint(1, 2);
  EXPECT_EQ(value.boxColour, Fixed(0, 128, 0));
  ASSERT_EQ(value.textCount, 2);
  EXPECT_STREQ(value.texts[0].text, "    0");
  EXPECT_STREQ(value.texts[1].text, "    1");
  EXPECT_EQ(LastText(Paint(2, 2)), "    -");

  store.frameTime[0].timeValue[7] = 2;
  store.frameTime[0].timeType[7] = FRAME_TIME_MIN;
  EXPECT_EQ(LastText(Paint(1, 7)), "    2");
  EXPECT_EQ(LastText(Paint(2, 7)), " min");
  store.frameTime[0].timeType[7] = 9;  // no such type: only the zero
  EXPECT_EQ(Paint(2, 7).textCount, 1);
  store.frameTime[0].timeValue[7] = -2147483647 - 1;
  EXPECT_EQ(LastText(Paint(1, 7)), "-2147483648");

  EXPECT_EQ(LastText(Paint(1, 0, 0)), "       值");
  EXPECT_EQ(LastText(Paint(2, 0, 1)), " TimeType");
  EXPECT_EQ(Paint(1, 1).textCount, 0);
  EXPECT_EQ(Paint(1, 0).outline, OUTLINE_NONE);
}

TEST_F(CellPainterTest, ChannelCaptionsAndColourMarks) {
  struct Case {
    int textVariant;
    int areaMode;
    int offset;
    int row;
    const char* text;
  } cases[] = {
      {0, AREA_MODE_UNIFORM, 0, 7, "  第    5路"}, {0, AREA_MODE_UNIFORM, 0, 12, "  第  10路"},
      {1, AREA_MODE_UNIFORM, 0, 12, "  No.  10"},  {1, AREA_MODE_UNIFORM, 0, 125, "  No.123"},
      {1, AREA_MODE_CHANNELS, 8, 3, "  No.9"},     {0, AREA_MODE_CHANNELS, 0, 3, "  第1路"},
      {1, AREA_MODE_UNIFORM, 8, 3, "  No.    1"},  // the offset counts in area mode 1 only
  };
  for (const Case& c : cases) {
    profile.areaMode = c.areaMode;
    profile.channelLabelOffset = c.offset;
    const CellPaint paint = Paint(c.row, 0, c.textVariant);
    EXPECT_EQ(LastText(paint), c.text) << c.row;
    EXPECT_EQ(paint.boxColour, Fixed(192, 192, 192));
    EXPECT_EQ(paint.outline, OUTLINE_NONE);
  }
  EXPECT_EQ(Paint(3, 1).boxColour, Fixed(255, 0, 0));
  EXPECT_EQ(Paint(4, 1).boxColour, Fixed(0, 128, 0));
  EXPECT_EQ(Paint(5, 1).boxColour, Fixed(0, 0, 255));
  EXPECT_EQ(Paint(6, 1).boxColour, Fixed(255, 0, 0));
}

TEST_F(CellPainterTest, EmptyFrameCellKeepsTheBackgroundWithAFrame) {
  const CellPaint paint = Paint(3, 2);
  EXPECT_EQ(paint.box, BOX_NONE);
  EXPECT_EQ(paint.textCount, 0);
  EXPECT_EQ(paint.outline, OUTLINE_AROUND);
}

TEST_F(CellPainterTest, ValueOverlayByKind) {
  const PaintColour red = Fixed(255, 0, 0);
  const PaintColour yellow = Fixed(255, 255, 0);
  struct Case {
    int valueKind;
    int32_t value;
    BoxKind box;
    Rgb shade;
    const char* text;  // nullptr: no text
    PaintColour textColour;
    int32_t stored;
  } cases[] = {
      {VALUE_KIND_BYTE, 15, BOX_FRAMED, brightnessShades[1], "  15", red, 15},
      {VALUE_KIND_BYTE, 64, BOX_FRAMED, {255, 188, 188}, "  64", yellow, 64},
      {VALUE_KIND_GROUP, 255, BOX_FRAMED, {255, 0, 0}, " 255", yellow, 255},
      {VALUE_KIND_BYTE, 1000, BOX_FRAMED, brightnessShades[16], "1000", yellow, 1000},
      {VALUE_KIND_BYTE, -5, BOX_FRAMED, brightnessShades[1], "  -5", red, -5},
      {VALUE_KIND_STEP, 180, BOX_FRAMED, {255, 0, 0}, " 100", yellow, 100},
      {VALUE_KIND_STEP, 49, BOX_FRAMED, {255, 122, 122}, "  49", red, 49},
      {VALUE_KIND_STEP, 5, BOX_FRAMED, {255, 239, 239}, "    5", red, 5},
      {VALUE_KIND_PERCENT_MARK, 150, BOX_FRAMED, percentShades[10], " 100", yellow, 100},
      {VALUE_KIND_PERCENT_MARK, 55, BOX_FRAMED, {255, 101, 101}, "  55", yellow, 55},
      {VALUE_KIND_PERCENT_MARK, 202, BOX_NONE, {0, 0, 0}, "  \\", yellow, 202},
      {VALUE_KIND_PERCENT_MARK, 200, BOX_NONE, {0, 0, 0}, "  /", yellow, 200},
      {VALUE_KIND_BIT, 255, BOX_VALUE, {255, 0, 0}, nullptr, yellow, 255},
      {VALUE_KIND_BIT, 100, BOX_VALUE, {255, 0, 0}, nullptr, yellow, 100},
      {VALUE_KIND_TIMED_BIT, 3, BOX_VALUE, {255, 0, 0}, "  /", yellow, 3},
      {VALUE_KIND_BIT, 2, BOX_VALUE, {255, 0, 0}, "  \\", yellow, 2},
      {VALUE_KIND_BIT, 7, BOX_VALUE, {255, 0, 0}, "7", yellow, 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "kind " << c.valueKind << " value " << c.value);
    profile.valueKind = c.valueKind;
    At(5, 9) = c.value;
    const CellPaint paint = Paint(5, 9);
    EXPECT_EQ(paint.box, c.box);
    if (c.box != BOX_NONE) {
      EXPECT_EQ(paint.boxColour, (PaintColour{COLOUR_RGB, c.shade}));
    }
    EXPECT_EQ(LastText(paint), c.text ? c.text : "");
    if (c.text) {
      const CellText& text = paint.texts[paint.textCount - 1];
      EXPECT_EQ(text.colour, c.textColour);
      // Byte and percent values sit one pixel in; on/off texts at the corner.
      const bool onOff = c.valueKind == VALUE_KIND_BIT || c.valueKind == VALUE_KIND_TIMED_BIT;
      EXPECT_EQ(text.offset, onOff ? 0 : 1);
      EXPECT_EQ(text.background, c.box == BOX_NONE ? red : paint.boxColour);
    }
    EXPECT_EQ(paint.outline, OUTLINE_TOP_LEFT);
    EXPECT_EQ(At(5, 9), c.stored);
  }
}

TEST_F(CellPainterTest, PercentWriteBackOnlyForPaintedCellsOfTheCurrentArea) {
  profile.valueKind = VALUE_KIND_STEP;
  store.Cell(1, 5, 9) = 180;
  At(5, 9) = 180;
  At(5, 10) = 180;
  Paint(5, 9);
  EXPECT_EQ(At(5, 9), 100);
  EXPECT_EQ(At(5, 10), 180);
  EXPECT_EQ(store.Cell(1, 5, 9), 180);
}

TEST_F(CellPainterTest, LitHeaderCellIsPaintedAsAValue) {
  At(0, 5) = 40;
  const CellPaint paint = Paint(0, 5);
  EXPECT_EQ(paint.boxColour, (PaintColour{COLOUR_RGB, brightnessShades[2]}));
  ASSERT_EQ(paint.textCount, 1);
  EXPECT_STREQ(paint.texts[0].text, "  40");

  profile.valueKind = VALUE_KIND_PERCENT_MARK;  // a mark keeps the header texts under it
  At(1, 5) = 200;
  EXPECT_EQ(Paint(1, 5).textCount, 3);
}

TEST_F(CellPainterTest, OutsideTheAreaPaintsNothing) {
  for (auto [row, column] : {std::pair{-1, 3}, {3, -1}, {kRowsPerArea, 3}, {3, kColumnsPerArea}}) {
    const CellPaint paint = Paint(row, column);
    EXPECT_EQ(paint.box, BOX_NONE);
    EXPECT_EQ(paint.textCount, 0);
    EXPECT_EQ(paint.outline, OUTLINE_NONE);
  }
}

}  // namespace
}  // namespace vqled
