// What one cell of the pattern grid shows: its box, its texts, its outline.
// PaintCell applies the grid's rules for the caption row and columns, the
// frame time rows, the channel captions and colour marks, and the value
// overlay of lit cells by ValueKind. The grid widget draws what it returns.
// Painting a percent cell above 100 stores 100 in it, as the grid has always
// done, so what is shown is what gets saved and downloaded.
#pragma once

#include <cstdint>

#include "model/model_profile.h"
#include "model/pattern_store.h"
#include "model/shades.h"

namespace vqled {

// A colour of the painter: either a fixed colour or one of the system's.
enum ColourRole : uint8_t {
  COLOUR_RGB = 0,               // the rgb field
  COLOUR_INACTIVE_CAPTION = 1,  // header boxes
  COLOUR_HOT_LIGHT = 2,         // outlines
  COLOUR_WINDOW_TEXT = 3        // captions
};

struct PaintColour {
  ColourRole role = COLOUR_RGB;
  Rgb rgb = {0, 0, 0};
  bool operator==(const PaintColour&) const = default;
};

constexpr int kPercentShadeCount = 11;
// Red shades of percent values (entry v / 10); those of byte values are
// brightnessShades (model/shades.h).
extern const Rgb percentShades[kPercentShadeCount];

enum BoxKind : uint8_t {
  BOX_NONE = 0,    // the cell keeps the grid's background
  BOX_FRAMED = 1,  // filled from one pixel left/above to one pixel right/below
                   // the cell, outlined one pixel in the hot-light colour
  BOX_VALUE = 2    // filled from the cell's top-left to one pixel beyond its
                   // right and bottom grid lines, no outline (on/off cells)
};

enum OutlineKind : uint8_t {
  OUTLINE_NONE = 0,
  OUTLINE_AROUND = 1,   // hot-light frame one pixel outside the cell
  OUTLINE_TOP_LEFT = 2  // hot-light line along the cell's top and left edges
};

constexpr int kCellTextCapacity = 32;

// One opaque text, its upper-left corner at the cell's top-left plus offset.
struct CellText {
  char text[kCellTextCapacity];  // UTF-8, zero-terminated
  int offset;                    // 0 or 1 pixel right of and below the corner
  PaintColour colour;
  PaintColour background;
};

// What a cell shows, drawn in this order: box, texts (first to last), outline.
struct CellPaint {
  BoxKind box = BOX_NONE;
  PaintColour boxColour;
  int textCount = 0;
  CellText texts[3];  // a header cell lit by a selection can carry three
  OutlineKind outline = OUTLINE_NONE;
};

// The paint of cell (row, column) of the current area. textVariant 0 shows
// the Chinese captions, 1 the English ones. May store 100 into a percent
// cell above 100.
CellPaint PaintCell(PatternStore& store, const ModelProfile& profile, int textVariant, int row,
                    int column);

// Leading spaces that line numbers up: 1 character gets 4, 2 get 2, 3 get 1.
// Writes into out (capacity bytes, zero-terminated); returns the length.
int PadNumberText(const char* digits, char* out, int capacity);
// The same for channel captions: 1 character gets 4 spaces, 2 get 2.
int PadChannelNumber(const char* digits, char* out, int capacity);

}  // namespace vqled
