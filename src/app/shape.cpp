#include "shape.h"

#include <QPainter>

namespace vqled {

Shape::Shape(QWidget* parent, Kind kind) : QWidget(parent), kind_(kind) {}

void Shape::setKind(Kind kind) {
  kind_ = kind;
  update();
}

void Shape::setBrushColor(const QColor& color) {
  if (brush_ == color) return;
  brush_ = color;
  update();
}

void Shape::setPenColor(const QColor& color) {
  pen_ = color;
  update();
}

void Shape::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(pen_);
  painter.setBrush(brush_);
  const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  if (kind_ == SHAPE_CIRCLE) {
    const qreal side = qMin(box.width(), box.height());
    painter.drawEllipse(
        QRectF(box.center().x() - side / 2, box.center().y() - side / 2, side, side));
  } else {
    painter.drawRoundedRect(box, box.width() / 4, box.height() / 4);
  }
}

}  // namespace vqled
