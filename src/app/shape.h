// A filled shape of the window: the link lamp Shape1 (a circle) and the
// preview lamps (rounded squares). Fill and pen colours are settable; the
// hint (tooltip) names what the lamp shows.
#pragma once

#include <QColor>
#include <QWidget>

namespace vqled {

class Shape : public QWidget {
  Q_OBJECT

 public:
  enum Kind { SHAPE_CIRCLE, SHAPE_ROUND_SQUARE };

  explicit Shape(QWidget* parent = nullptr, Kind kind = SHAPE_CIRCLE);

  void setKind(Kind kind);
  Kind kind() const { return kind_; }
  void setBrushColor(const QColor& color);
  QColor brushColor() const { return brush_; }
  void setPenColor(const QColor& color);
  QColor penColor() const { return pen_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Kind kind_;
  QColor brush_ = Qt::white;
  QColor pen_ = Qt::black;
};

}  // namespace vqled
