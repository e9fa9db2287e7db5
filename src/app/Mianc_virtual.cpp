// TForm2 and the built-in virtual controller (the virtual controller panel):
// its entry in the port list ComboBox5, the area-of-areas label of all-areas
// downloads and the playback of what it received ("回放").
#include <QComboBox>
#include <QPushButton>
#include <QTimer>

#include "Mianc.h"
#include "link/controller_link.h"
#include "ui_Mianc.h"

namespace vqled {

// Made after FormCreate: the entry then shows the model and language the
// saved settings chose.
void TForm2::ConnectVirtual() {
  virtual_ = std::make_unique<VirtualPanel>(this, *ui_, document_, *preview_, languageMode);
  connect(virtual_->playbackButton(), &QPushButton::clicked, this, [this] { PlaybackClick(); });
  connect(virtual_->playbackTimer(), &QTimer::timeout, this, [this] { PlaybackTimer(); });
  // The user's own preview and the playback share the lamps.
  connect(ui_->BitBtn1, &QPushButton::clicked, this, [this] { virtual_->StopPlayback(); });
  connect(ui_->ComboBox6, &QComboBox::currentIndexChanged, this,
          [this] { virtual_->RefreshEntry(); });
  for (QPushButton* language : {ui_->BitBtn11, ui_->BitBtn12, ui_->BitBtn13})
    connect(language, &QPushButton::clicked, this, [this] { virtual_->RefreshEntry(); });
  virtual_->RefreshEntry();
}

VirtualController& TForm2::virtualController() {
  return virtual_->controller();
}

void TForm2::AddVirtualEntry() {
  VirtualPanel::AddEntry(ui_->ComboBox5, ui_->ComboBox6->currentIndex(), languageMode);
}

std::string TForm2::VirtualDevice() {
  return virtual_->Device();
}

void TForm2::ShowAreaOfAreas(int area) {
  if (virtual_) virtual_->ShowAreaOfAreas(area, link_->allAreasMode());
}

void TForm2::PlaybackClick() {
  virtual_->PlaybackClick();
}

void TForm2::PlaybackTimer() {
  virtual_->PlaybackTimer();
}

}  // namespace vqled
