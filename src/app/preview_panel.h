// The preview of the current area on the 72 lamps of Panel1, stepped by
// Timer3 every 100 ms; BitBtn1 "预览" starts and stops it. The virtual
// controller's playback shows its frames on the same lamps.
// PreviewWindowBtn "预览窗口" opens the preview window over the whole model.
#pragma once

#include <QColor>
#include <functional>

#include "document/document.h"
#include "model/shades.h"
#include "ui/captions.h"
#include "ui/preview_player.h"

class QPushButton;
class QTimer;
class QWidget;

namespace vqled {

class Shape;
class PreviewWindow;

inline QColor ToQColor(const Rgb& colour) {
  return QColor(colour.red, colour.green, colour.blue);
}

constexpr int kPreviewLamps = kPreviewLampCount;

class PreviewPanel {
 public:
  // Timer3 and PreviewWindowBtn are made at once as children of form; the
  // lamps by CreateLamps.
  PreviewPanel(QWidget* form, QWidget* lampPanel, Document& document);
  ~PreviewPanel();

  void CreateLamps();
  void Toggle();  // BitBtn1Click
  void Tick();    // Timer3Timer
  bool Running() const;
  // Lamp k takes ShadeColour(shades[k]), the preview's lamp colour.
  void ShowShades(const int (&shades)[kPreviewLamps]);

  QTimer* timer() const { return Timer3; }
  Shape* lamp(int index) const { return lamps_[index]; }

  // What the preview window needs of the form: its language mode for
  // messages, and showColumn, which scrolls the grid to a column.
  void ConnectWindow(const LanguageMode& languageMode, std::function<void(int column)> showColumn);
  // PreviewWindowBtnClick: opens the window, or brings it to the front.
  void OpenWindow();
  // The captions of the window follow the form's language switches.
  void SetLanguage(Language language);
  QPushButton* windowButton() const { return PreviewWindowBtn; }
  PreviewWindow* window() const { return window_; }

 private:
  QWidget* form_;
  QWidget* lampPanel_;
  Document& document_;
  QTimer* Timer3;
  Shape* lamps_[kPreviewLamps] = {};
  PreviewPlayer player_;  // the preview's state between the steps of Timer3
  QPushButton* PreviewWindowBtn;
  PreviewWindow* window_ = nullptr;  // made at the first click, a child of form
  Language language_ = LANGUAGE_SIMPLIFIED;
  const LanguageMode* languageMode_ = nullptr;
  std::function<void(int column)> showColumn_;
};

}  // namespace vqled
