// CellPaintDrawer: draws what the core cell painter returns for a cell.
// Texts are rendered once per text, colour and font; whole cells (background,
// box, texts, outline) are rendered once per look and size and then copied,
// so a repaint of many lit cells costs one image copy a cell.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>
#include <cstdint>
#include <vector>

#include "editor/cell_painter.h"

class QPainter;

namespace vqled {

// Everything that decides the pixels of a cell: its paint, its background
// and its size, packed into words (unused parts zero) so that two looks
// compare and hash as plain integers.
struct CellLook {
  static constexpr int kWords = 2 + 3 * 6;
  uint64_t words[kWords];
  int used;  // words[used..] are not set
  CellLook(const CellPaint& paint, QRgb background, const QSize& size);
  uint64_t Hash() const;
  bool operator==(const CellLook& other) const;
};

class CellPaintDrawer {
 public:
  CellPaintDrawer();
  ~CellPaintDrawer();
  // Draws paint inside rect (the box and the outlines reach one pixel beyond
  // it, over the grid lines); the cell's background is left as it is.
  void Draw(QPainter& painter, const CellPaint& paint, const QRect& rect);
  // Fills rect with background and draws paint over it, as Draw after a fill
  // would, from the cell images where the cell's pixels stay in the area it
  // covers (texts that reach past it are drawn directly).
  // hash is look.Hash().
  void DrawCell(QPainter& painter, const CellPaint& paint, const CellLook& look, uint64_t hash,
                QRgb background, const QRect& rect);
  // The same into image, a device-pixel-ratio 1 picture of the viewport
  // whose pixel (0, 0) is viewport point origin, inside clip (viewport
  // coordinates); painter paints on image with the viewport's coordinates.
  // Cell images are copied line by line.
  struct Canvas {
    QImage& image;  // Format_RGB32
    QPainter& painter;
    QPoint origin;
    QRect clip;
  };
  void DrawCell(Canvas& canvas, const CellPaint& paint, const CellLook& look, uint64_t hash,
                QRgb background, const QRect& rect);
  void ClearCache();  // after a change of the font
  // Takes the painter's font and pixel ratio for the cells drawn next.
  void UseFontOf(QPainter& painter);

 private:
  struct CachedText;
  struct CachedCell;
  const QImage& TextImage(QPainter& painter, const CellText& text);
  // The cell's pixels relative to its rectangle's top-left: the box and the
  // outline may cover the grid lines around it.
  static QRect Footprint(const CellPaint& paint, const QSize& size);
  bool TextsStayInside(QPainter& painter, const CellPaint& paint, const QRect& footprint);
  const CachedCell* CellImage(QPainter& painter, const CellPaint& paint, const CellLook& look,
                              uint64_t hash, QRgb background, const QSize& size);

  std::vector<CachedText> texts_;
  std::vector<CachedCell> cells_;
  QFont font_;
  qreal pixelRatio_ = 1;
  QString scratch_;
};

}  // namespace vqled
