#include "editor/cell_painter.h"

#include <charconv>
#include <cstring>
#include <initializer_list>

namespace vqled {

const Rgb percentShades[kPercentShadeCount] = {{255, 255, 255}, {255, 239, 239}, {255, 173, 173},
                                               {255, 137, 137}, {255, 122, 122}, {255, 101, 101},
                                               {255, 86, 86},   {255, 71, 71},   {255, 50, 50},
                                               {255, 20, 20},   {255, 0, 0}};

namespace {

constexpr PaintColour kInactiveCaption{COLOUR_INACTIVE_CAPTION, {0, 0, 0}};
constexpr PaintColour kWindowText{COLOUR_WINDOW_TEXT, {0, 0, 0}};
constexpr PaintColour kGreen{COLOUR_RGB, {0, 128, 0}};
constexpr PaintColour kBlue{COLOUR_RGB, {0, 0, 255}};
constexpr PaintColour kRed{COLOUR_RGB, {255, 0, 0}};
constexpr PaintColour kSilver{COLOUR_RGB, {192, 192, 192}};
constexpr PaintColour kYellow{COLOUR_RGB, {255, 255, 0}};

constexpr int kPercentFull = 100;
constexpr int32_t kMarkFadeIn = 200;   // VALUE_KIND_PERCENT_MARK "/"
constexpr int32_t kMarkFadeOut = 202;  // VALUE_KIND_PERCENT_MARK "\"

int PadWithSpaces(const char* digits, char* out, int capacity, int maxPadded) {
  const int length = static_cast<int>(std::strlen(digits));
  int spaces = 0;
  if (length == 1) {
    spaces = 4;
  } else if (length == 2) {
    spaces = 2;
  } else if (length == 3 && maxPadded >= 3) {
    spaces = 1;
  }
  int written = 0;
  for (; written < spaces && written < capacity - 1; ++written) out[written] = ' ';
  for (int i = 0; i < length && written < capacity - 1; ++i) out[written++] = digits[i];
  out[written] = '\0';
  return written;
}

// The decimal digits of value, zero-terminated, in a buffer of 12.
struct Digits {
  char text[12];
  explicit Digits(int32_t value) { *std::to_chars(text, text + sizeof text - 1, value).ptr = '\0'; }
};

void SetBox(CellPaint& paint, BoxKind box, PaintColour colour) {
  paint.box = box;
  paint.boxColour = colour;
  paint.textCount = 0;  // a box paints over what was drawn before it
}

// Appends a text of up to three parts; the background is the box colour.
void AddText(CellPaint& paint, int offset, PaintColour colour, const char* a, const char* b = "",
             const char* c = "") {
  CellText& text = paint.texts[paint.textCount++];
  text.offset = offset;
  text.colour = colour;
  text.background =
      paint.box == BOX_NONE ? PaintColour{COLOUR_RGB, {255, 255, 255}} : paint.boxColour;
  int length = 0;
  for (const char* part : {a, b, c}) {
    for (; *part != '\0' && length < kCellTextCapacity - 1; ++part) text.text[length++] = *part;
  }
  text.text[length] = '\0';
}

void AddPaddedNumber(CellPaint& paint, int offset, PaintColour colour, const char* digits) {
  char padded[kCellTextCapacity];
  PadNumberText(digits, padded, sizeof padded);
  AddText(paint, offset, colour, padded);
}

const char* TimeTypeText(int32_t timeType) {
  switch (timeType) {
    case FRAME_TIME_DEFAULT:
      return "-";
    case FRAME_TIME_MS:
      return "ms";
    case FRAME_TIME_S:
      return "s";
    case FRAME_TIME_MIN:
      return "min";
    default:
      return nullptr;
  }
}

void PaintHeaderRow(CellPaint& paint, int textVariant, int column) {
  SetBox(paint, BOX_FRAMED, kInactiveCaption);
  if (column == 0) {
    AddText(paint, 0, kWindowText, textVariant == 0 ? "    帧数" : "    N0");
  } else if (column >= kFirstFrameColumn) {
    AddPaddedNumber(paint, 0, kWindowText, Digits(column - 1).text);
  }
}

void PaintTimeRow(CellPaint& paint, const PatternStore& store, int textVariant, int row,
                  int column) {
  SetBox(paint, BOX_FRAMED, kGreen);
  if (column == 0) {
    const bool zh = textVariant == 0;
    AddText(paint, 0, kWindowText,
            row == 1 ? (zh ? "       值" : " value") : (zh ? " 时间类型" : " TimeType"));
    return;
  }
  if (column < kFirstFrameColumn) return;
  AddText(paint, 0, kWindowText, "    0");
  const FrameTimes& times = store.frameTime[store.currentArea];
  if (row == 1) {
    AddPaddedNumber(paint, 0, kWindowText, Digits(times.timeValue[column]).text);
  } else if (const char* unit = TimeTypeText(times.timeType[column])) {
    AddPaddedNumber(paint, 0, kWindowText, unit);
  }
}

void PaintChannelCaption(CellPaint& paint, const ModelProfile& profile, int textVariant, int row) {
  SetBox(paint, BOX_FRAMED, kSilver);
  const int channel = row - (kHeaderRows - 1);
  char number[kCellTextCapacity];
  if (profile.areaMode == AREA_MODE_CHANNELS) {
    std::strcpy(number, Digits(channel + profile.channelLabelOffset).text);
  } else {
    PadChannelNumber(Digits(channel).text, number, sizeof number);
  }
  if (textVariant == 0) {
    AddText(paint, 0, kWindowText, "  第", number, "路");
  } else {
    AddText(paint, 0, kWindowText, "  No.", number);
  }
}

void PaintColourMark(CellPaint& paint, int row) {
  static constexpr PaintColour kMarks[3] = {kRed, kGreen, kBlue};
  SetBox(paint, BOX_FRAMED, kMarks[row % 3]);
}

void PaintShadedValue(CellPaint& paint, int32_t value, const Rgb& shade, bool dim) {
  SetBox(paint, BOX_FRAMED, PaintColour{COLOUR_RGB, shade});
  AddPaddedNumber(paint, 1, dim ? kRed : kYellow, Digits(value).text);
}

void PaintByteValue(CellPaint& paint, int32_t value) {
  PaintShadedValue(paint, value, brightnessShades[BrightnessShadeIndex(value)], value < 64);
}

void PaintPercentValue(CellPaint& paint, int32_t& cell) {
  if (cell > kPercentFull) cell = kPercentFull;
  const int32_t value = cell;
  PaintShadedValue(paint, value, percentShades[value < 10 ? 1 : value / 10], value < 50);
}

void PaintOnOffValue(CellPaint& paint, int32_t value) {
  SetBox(paint, BOX_VALUE, kRed);
  if (value == 2) {
    AddText(paint, 0, kYellow, "  \\");
  } else if (value == 3) {
    AddText(paint, 0, kYellow, "  /");
  } else if (value != 100 && value != 255) {
    AddText(paint, 0, kYellow, Digits(value).text);
  }
}

void PaintValue(CellPaint& paint, int valueKind, int32_t& cell) {
  switch (valueKind) {
    case VALUE_KIND_BYTE:
    case VALUE_KIND_GROUP:
      PaintByteValue(paint, cell);
      break;
    case VALUE_KIND_PERCENT_MARK:
      if (cell == kMarkFadeIn || cell == kMarkFadeOut) {
        const int count = paint.textCount;
        AddText(paint, 1, kYellow, cell == kMarkFadeIn ? "  /" : "  \\");
        paint.texts[count].background = kRed;
        break;
      }
      PaintPercentValue(paint, cell);
      break;
    case VALUE_KIND_STEP:
      PaintPercentValue(paint, cell);
      break;
    case VALUE_KIND_BIT:
    case VALUE_KIND_TIMED_BIT:
      PaintOnOffValue(paint, cell);
      break;
    default:
      break;
  }
}

}  // namespace

int PadNumberText(const char* digits, char* out, int capacity) {
  return PadWithSpaces(digits, out, capacity, 3);
}

int PadChannelNumber(const char* digits, char* out, int capacity) {
  return PadWithSpaces(digits, out, capacity, 2);
}

CellPaint PaintCell(PatternStore& store, const ModelProfile& profile, int textVariant, int row,
                    int column) {
  CellPaint paint;
  if (!PatternStore::InArea(row, column)) return paint;
  if (row == 0) {
    PaintHeaderRow(paint, textVariant, column);
  } else if (row < kHeaderRows) {
    PaintTimeRow(paint, store, textVariant, row, column);
  } else if (column == 0) {
    PaintChannelCaption(paint, profile, textVariant, row);
  } else if (column == 1) {
    PaintColourMark(paint, row);
  }
  int32_t& cell = store.Cell(store.currentArea, row, column);
  if (cell != 0) PaintValue(paint, profile.valueKind, cell);
  const bool captionColumn = (column == 0 && row >= 1) || column == 1;
  if (!captionColumn) paint.outline = cell == 0 ? OUTLINE_AROUND : OUTLINE_TOP_LEFT;
  return paint;
}

}  // namespace vqled
