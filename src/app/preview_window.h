// The preview window: every channel of the model as a lamp, for the current
// area or all areas side by side, played in real time on each frame's own
// time. It reads the store live at every repaint and changes nothing in it;
// it is not modal, so editing goes on while it plays. Its GIF is the one
// vqled-cli render writes.
#pragma once

#include <QWidget>
#include <functional>

#include "document/document.h"
#include "ui/captions.h"
#include "ui/preview_scene.h"

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QSlider;
class QTimer;

namespace vqled {

// The time source every preview window made from now on plays from; an empty
// source restores SteadyNowMs. Tests install a clock they move by hand.
void SetPreviewTimeSource(PreviewClock::TimeSource source);

class PreviewLampView;

class PreviewWindow : public QWidget {
  Q_OBJECT

 public:
  // showColumn scrolls the grid so that a column of the current area is in
  // view. language (the captions) is read at every Retranslate, languageMode
  // (the messages) when a message shows.
  PreviewWindow(QWidget* parent, Document& document, const Language& language,
                const LanguageMode& languageMode, std::function<void(int column)> showColumn);
  ~PreviewWindow() override;

  void Retranslate();
  // Reads the store again and repaints: what the repaint timer runs.
  void Refresh();

  const PreviewPlayback& playback() const { return playback_; }
  const PreviewLampGrid& lampGrid() const;
  QWidget* lampView() const;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  // The repaints run only while the window is shown.
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void CreateControls();
  void Read();
  int LeadSlot() const;  // the slot of the current area
  void PlayClick();
  void StepClick(bool forward);
  void ScrubMoved(int frame);
  void SaveGifClick();
  void ShowLeadColumn();
  void ShowState();
  QString Caption(int row) const;

  Document& document_;
  const Language& language_;
  const LanguageMode& languageMode_;
  std::function<void(int column)> showColumn_;
  PreviewClock::TimeSource nowMs_;
  PreviewPlayback playback_;
  int64_t lastReadMs_ = 0;
  QPushButton* playButton_ = nullptr;
  QPushButton* backButton_ = nullptr;
  QPushButton* forwardButton_ = nullptr;
  QSlider* scrubBar_ = nullptr;
  QLabel* speedLabel_ = nullptr;
  QComboBox* speedBox_ = nullptr;
  QComboBox* loopBox_ = nullptr;
  QComboBox* scopeBox_ = nullptr;
  QPushButton* saveGifButton_ = nullptr;
  QLabel* frameLabel_ = nullptr;
  QScrollArea* scroll_ = nullptr;
  PreviewLampView* lamps_ = nullptr;
  QTimer* repaintTimer_ = nullptr;
};

}  // namespace vqled
