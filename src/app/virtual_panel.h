// The built-in virtual controller offered in the port list ComboBox5: its
// entry there, the controller started for the selected model when a
// transaction opens that entry, the area-of-areas label beside
// cxProgressBar1 during all-areas downloads, and the playback of the
// controller's received pattern on the preview lamps ("回放").
#pragma once

#include <QString>
#include <memory>
#include <string>

#include "document/document.h"
#include "sim/virtual_controller.h"
#include "ui/captions.h"
#include "virtual_playback.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTimer;
class QWidget;

namespace Ui {
class TForm2;
}

namespace vqled {

class PreviewPanel;

class VirtualPanel {
 public:
  // Lays the area-of-areas label and the playback button beside their
  // neighbours on form and makes the playback's timer.
  VirtualPanel(QWidget* form, Ui::TForm2& ui, Document& document, PreviewPanel& preview,
               const LanguageMode& language);

  // Appends the entry for model (a ComboBox6 index) to the port list.
  static void AddEntry(QComboBox* ports, int model, const LanguageMode& language);
  // The entry names the model selected, in the language shown.
  void RefreshEntry();
  // The device of a virtual controller of the selected model.
  std::string Device();
  // "2/7" while an all-areas download sends area 2 of 7; area < 0 clears it.
  void ShowAreaOfAreas(int area, bool allAreasMode);
  void PlaybackClick();
  void PlaybackTimer();
  void StopPlayback();

  VirtualController& controller() { return controller_; }
  QPushButton* playbackButton() const { return playbackButton_; }
  QTimer* playbackTimer() const { return playbackTimer_; }

 private:
  QString Tr(const Text& text) const;

  QWidget* form_;
  Ui::TForm2& ui_;
  Document& document_;
  PreviewPanel& preview_;
  const LanguageMode& language_;
  VirtualController controller_;
  std::unique_ptr<VirtualPlayback> playback_;  // made fresh for every playback
  QLabel* areaOfAreas_ = nullptr;              // "2/7" beside cxProgressBar1
  QPushButton* playbackButton_ = nullptr;      // "回放" beside BitBtn1
  QTimer* playbackTimer_ = nullptr;            // steps the playback like Timer3
};

}  // namespace vqled
