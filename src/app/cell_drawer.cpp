#include "cell_drawer.h"

#include <QPainter>
#include <algorithm>
#include <cstring>

namespace vqled {

namespace {

// The system colours the painter names, as a desktop shows them by default.
const QColor kInactiveCaption(191, 205, 219);
const QColor kHotLight(0, 102, 204);
const QColor kWindowText(0, 0, 0);

QColor ToQColor(const PaintColour& colour) {
  switch (colour.role) {
    case COLOUR_INACTIVE_CAPTION:
      return kInactiveCaption;
    case COLOUR_HOT_LIGHT:
      return kHotLight;
    case COLOUR_WINDOW_TEXT:
      return kWindowText;
    case COLOUR_RGB:
      break;
  }
  return QColor(colour.rgb.red, colour.rgb.green, colour.rgb.blue);
}

// Fills `text` with the UTF-8 bytes of `utf8`.
void SetText(QString& text, const char* utf8) {
  const int length = static_cast<int>(std::strlen(utf8));
  bool ascii = true;
  for (int i = 0; i < length && ascii; ++i) ascii = static_cast<unsigned char>(utf8[i]) < 0x80;
  if (!ascii) {
    text = QString::fromUtf8(utf8, length);
    return;
  }
  text.resize(length);
  QChar* out = text.data();
  for (int i = 0; i < length; ++i) out[i] = QLatin1Char(utf8[i]);
}

// A one-pixel frame along the inside of rect, in colour.
void FillFrame(QPainter& painter, const QRect& rect, const QColor& colour) {
  painter.fillRect(rect.left(), rect.top(), rect.width(), 1, colour);
  painter.fillRect(rect.left(), rect.bottom(), rect.width(), 1, colour);
  painter.fillRect(rect.left(), rect.top(), 1, rect.height(), colour);
  painter.fillRect(rect.right(), rect.top(), 1, rect.height(), colour);
}

constexpr int kTextCacheSlots = 4096;  // powers of two
constexpr int kCellCacheSlots = 4096;

uint64_t TextKey(const CellText& text, QRgb colour, QRgb background) {
  uint64_t hash = 1469598103934665603ull;  // FNV-1a
  auto mix = [&hash](uint64_t byte) { hash = (hash ^ byte) * 1099511628211ull; };
  for (const char* c = text.text; *c != '\0'; ++c) mix(static_cast<unsigned char>(*c));
  mix(colour);
  mix(background);
  return hash | 1;  // 0 marks an empty slot
}

uint64_t PackColour(const PaintColour& colour) {
  return uint64_t{colour.role} | uint64_t{colour.rgb.red} << 8 | uint64_t{colour.rgb.green} << 16 |
         uint64_t{colour.rgb.blue} << 24 | uint64_t{1} << 32;
}

}  // namespace

CellLook::CellLook(const CellPaint& paint, QRgb background, const QSize& size)
    : used(2 + 6 * paint.textCount) {
  std::memset(words + 2, 0, (used - 2) * sizeof(uint64_t));
  words[0] = uint64_t{paint.box} | uint64_t{paint.outline} << 8 | uint64_t(paint.textCount) << 16 |
             uint64_t(size.width() & 0xffff) << 32 | uint64_t(size.height() & 0xffff) << 48;
  words[1] = PackColour(paint.boxColour) | uint64_t{background & 0xffffffu} << 40;
  for (int i = 0; i < paint.textCount; ++i) {
    const CellText& text = paint.texts[i];
    uint64_t* out = words + 2 + i * 6;
    out[0] = PackColour(text.colour) | uint64_t(text.offset & 0xff) << 40;
    out[1] = PackColour(text.background);
    char* bytes = reinterpret_cast<char*>(out + 2);
    for (int c = 0; c < kCellTextCapacity && text.text[c] != '\0'; ++c) bytes[c] = text.text[c];
  }
}

uint64_t CellLook::Hash() const {
  uint64_t hash = 0x9e3779b97f4a7c15ull;
  for (int i = 0; i < used; ++i) hash = (hash ^ words[i]) * 0xff51afd7ed558ccdull;
  return (hash ^ hash >> 29) | 1;  // 0 marks a cell not known to be shown
}

bool CellLook::operator==(const CellLook& other) const {
  return used == other.used && std::memcmp(words, other.words, used * sizeof(uint64_t)) == 0;
}

struct CellPaintDrawer::CachedText {
  uint64_t key = 0;
  char text[kCellTextCapacity] = {};
  QRgb colour = 0;
  QRgb background = 0;
  QImage image;
};

// One rendered cell: image holds the cell and the grid lines around it
// (the cell's top-left at one pixel right of and below the image's); source
// is the part the cell covers, in device pixels.
struct CellPaintDrawer::CachedCell {
  uint64_t hash = 0;
  CellLook look{CellPaint{}, 0, QSize()};
  bool direct = false;  // texts reach past the cell: draw it directly
  QRect footprint;      // relative to the cell's top-left, in pixels
  QRect source;
  QImage image;
};

CellPaintDrawer::CellPaintDrawer() : texts_(kTextCacheSlots), cells_(kCellCacheSlots) {}
CellPaintDrawer::~CellPaintDrawer() = default;

void CellPaintDrawer::ClearCache() {
  for (CachedText& slot : texts_) {
    slot.key = 0;
    slot.image = QImage();
  }
  for (CachedCell& slot : cells_) {
    slot.hash = 0;
    slot.image = QImage();
  }
}

void CellPaintDrawer::UseFontOf(QPainter& painter) {
  const qreal pixelRatio = painter.device()->devicePixelRatioF();
  if (!(painter.font() == font_) || pixelRatio != pixelRatio_) {
    ClearCache();
    font_ = painter.font();
    pixelRatio_ = pixelRatio;
  }
}

const QImage& CellPaintDrawer::TextImage(QPainter& painter, const CellText& text) {
  UseFontOf(painter);
  const QRgb colour = ToQColor(text.colour).rgb();
  const QRgb background = ToQColor(text.background).rgb();
  const uint64_t key = TextKey(text, colour, background);
  CachedText& slot = texts_[key & (kTextCacheSlots - 1)];
  if (slot.key == key && slot.colour == colour && slot.background == background &&
      std::strcmp(slot.text, text.text) == 0) {
    return slot.image;
  }
  // Rendered opaque, as wide as the text advances and as tall as the font.
  SetText(scratch_, text.text);
  const QFontMetrics metrics(font_);
  const QSize size(std::max(1, metrics.horizontalAdvance(scratch_)), metrics.height());
  QImage image(size * pixelRatio_, QImage::Format_RGB32);
  image.setDevicePixelRatio(pixelRatio_);
  image.fill(background);
  QPainter imagePainter(&image);
  imagePainter.setFont(font_);
  imagePainter.setPen(QColor(colour));
  imagePainter.drawText(QPoint(0, metrics.ascent()), scratch_);
  imagePainter.end();
  slot.key = key;
  std::strcpy(slot.text, text.text);
  slot.colour = colour;
  slot.background = background;
  slot.image = std::move(image);
  return slot.image;
}

void CellPaintDrawer::Draw(QPainter& painter, const CellPaint& paint, const QRect& rect) {
  if (paint.box == BOX_FRAMED) {
    // From one pixel left of and above the cell to one pixel right of and
    // below it, over the grid lines, with a hot-light edge.
    const QRect outer = rect.adjusted(-1, -1, 1, 1);
    painter.fillRect(outer, kHotLight);
    painter.fillRect(outer.adjusted(1, 1, -1, -1), ToQColor(paint.boxColour));
  } else if (paint.box == BOX_VALUE) {
    painter.fillRect(rect.adjusted(0, 0, 1, 1), ToQColor(paint.boxColour));
  }
  for (int i = 0; i < paint.textCount; ++i) {
    const CellText& text = paint.texts[i];
    painter.drawImage(QPoint(rect.left() + text.offset, rect.top() + text.offset),
                      TextImage(painter, text));
  }
  if (paint.outline == OUTLINE_AROUND) {
    FillFrame(painter, rect.adjusted(-1, -1, 1, 1), kHotLight);
  } else if (paint.outline == OUTLINE_TOP_LEFT) {
    painter.fillRect(rect.left(), rect.top(), rect.width(), 1, kHotLight);
    painter.fillRect(rect.left(), rect.top(), 1, rect.height(), kHotLight);
  }
}

QRect CellPaintDrawer::Footprint(const CellPaint& paint, const QSize& size) {
  const QRect cell(QPoint(0, 0), size);
  if (paint.box == BOX_FRAMED || paint.outline == OUTLINE_AROUND)
    return cell.adjusted(-1, -1, 1, 1);
  if (paint.box == BOX_VALUE) return cell.adjusted(0, 0, 1, 1);
  return cell;
}

bool CellPaintDrawer::TextsStayInside(QPainter& painter, const CellPaint& paint,
                                      const QRect& footprint) {
  for (int i = 0; i < paint.textCount; ++i) {
    const CellText& text = paint.texts[i];
    const QImage& image = TextImage(painter, text);
    const QRect covered(QPoint(text.offset, text.offset),
                        (QSizeF(image.size()) / pixelRatio_).toSize());
    if (!footprint.contains(covered)) return false;
  }
  return true;
}

const CellPaintDrawer::CachedCell* CellPaintDrawer::CellImage(QPainter& painter,
                                                              const CellPaint& paint,
                                                              const CellLook& look, uint64_t hash,
                                                              QRgb background, const QSize& size) {
  CachedCell& slot = cells_[hash & (kCellCacheSlots - 1)];
  if (slot.hash == hash && slot.look == look) return &slot;
  slot.hash = hash;
  slot.look = look;
  slot.footprint = Footprint(paint, size);
  slot.direct = !TextsStayInside(painter, paint, slot.footprint);
  if (slot.direct) {
    slot.image = QImage();
    return &slot;
  }
  const QSize outer = size + QSize(2, 2);
  if (slot.image.size() != outer * pixelRatio_) {
    slot.image = QImage(outer * pixelRatio_, QImage::Format_RGB32);
    slot.image.setDevicePixelRatio(pixelRatio_);
  }
  QPainter imagePainter(&slot.image);
  imagePainter.setFont(font_);
  const QRect cell(QPoint(1, 1), size);
  imagePainter.fillRect(cell, QColor(background));
  Draw(imagePainter, paint, cell);
  imagePainter.end();
  const QRect source = slot.footprint.translated(1, 1);
  slot.source = QRect(source.topLeft() * pixelRatio_, source.size() * pixelRatio_);
  return &slot;
}

void CellPaintDrawer::DrawCell(QPainter& painter, const CellPaint& paint, const CellLook& look,
                               uint64_t hash, QRgb background, const QRect& rect) {
  const CachedCell* cell = CellImage(painter, paint, look, hash, background, rect.size());
  if (cell->direct) {
    painter.fillRect(rect, QColor(background));
    Draw(painter, paint, rect);
    return;
  }
  painter.drawImage(rect.topLeft() + cell->footprint.topLeft(), cell->image, cell->source);
}

void CellPaintDrawer::DrawCell(Canvas& canvas, const CellPaint& paint, const CellLook& look,
                               uint64_t hash, QRgb background, const QRect& rect) {
  const CachedCell* cell = CellImage(canvas.painter, paint, look, hash, background, rect.size());
  if (cell->direct) {
    canvas.painter.fillRect(rect, QColor(background));
    Draw(canvas.painter, paint, rect);
    return;
  }
  const QRect target = cell->footprint.translated(rect.topLeft()) & canvas.clip;
  if (target.isEmpty()) return;
  // The cell image's pixel of target's top-left, and the picture's.
  const QPoint from = target.topLeft() - rect.topLeft() + QPoint(1, 1);
  const QPoint to = target.topLeft() - canvas.origin;
  const size_t bytes = static_cast<size_t>(target.width()) * sizeof(QRgb);
  const qsizetype toLine = canvas.image.bytesPerLine();
  const qsizetype fromLine = cell->image.bytesPerLine();
  uchar* out = canvas.image.bits() + to.y() * toLine + to.x() * sizeof(QRgb);
  const uchar* in = cell->image.constBits() + from.y() * fromLine + from.x() * sizeof(QRgb);
  for (int line = 0; line < target.height(); ++line, out += toLine, in += fromLine) {
    std::memcpy(out, in, bytes);
  }
}

}  // namespace vqled
