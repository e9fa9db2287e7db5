// The preview of the current area on the 72 lamps of Panel1, stepped by
// Timer3 every 100 ms; BitBtn1 "预览" starts and stops it. The virtual
// controller's playback shows its frames on the same lamps.
#pragma once

#include <QColor>

#include "document/document.h"
#include "ui/preview_player.h"

class QTimer;
class QWidget;

namespace vqled {

class Shape;

constexpr int kPreviewLamps = kPreviewLampCount;

class PreviewPanel {
 public:
  // Timer3 is made at once as a child of form; the lamps by CreateLamps.
  PreviewPanel(QWidget* form, QWidget* lampPanel, Document& document);

  void CreateLamps();
  void Toggle();  // BitBtn1Click
  void Tick();    // Timer3Timer
  bool Running() const;
  // Lamp k takes the grid's red shade of shades[k].
  void ShowShades(const int (&shades)[kPreviewLamps]);

  QTimer* timer() const { return Timer3; }
  Shape* lamp(int index) const { return lamps_[index]; }

 private:
  QWidget* form_;
  QWidget* lampPanel_;
  Document& document_;
  QTimer* Timer3;
  Shape* lamps_[kPreviewLamps] = {};
  PreviewPlayer player_;  // the preview's state between the steps of Timer3
};

}  // namespace vqled
