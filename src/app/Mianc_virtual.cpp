// TForm2 and the built-in virtual controller: its entry in the port list
// ComboBox5, the controller started for the selected model when a
// transaction opens that entry, the area-of-areas label beside
// cxProgressBar1 during all-areas downloads, and the playback of the
// controller's received pattern on the preview lamps ("回放").
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <algorithm>

#include "Mianc.h"
#include "link/controller_link.h"
#include "message_box.h"
#include "shape.h"
#include "ui_Mianc.h"
#include "virtual_playback.h"

namespace vqled {

struct VirtualPanel {
  VirtualController controller;
  std::unique_ptr<VirtualPlayback> playback;  // made fresh for every playback
  QLabel* areaOfAreas = nullptr;              // "2/7" beside cxProgressBar1
  QPushButton* playbackButton = nullptr;      // "回放" beside BitBtn1
  QTimer* playbackTimer = nullptr;            // steps the playback like Timer3
};

namespace {

// The tag of the port list's virtual entry; the entry's text follows the
// model and the language.
const char* const kVirtualEntryTag = "virtual";
constexpr int kAreaLabelWidth = 36;

const Text kPlaybackCaption{"回放", "Playback"};

}  // namespace

// Made after FormCreate: the entry then shows the model and language the
// saved settings chose.
void TForm2::ConnectVirtual() {
  virtual_ = {new VirtualPanel(), [](VirtualPanel* panel) { delete panel; }};
  QProgressBar* bar = ui_->cxProgressBar1;
  QLabel* label = new QLabel(bar->parentWidget());
  label->setObjectName(QStringLiteral("areaOfAreasLabel"));
  const QRect place = bar->geometry();
  bar->setGeometry(place.adjusted(0, 0, -kAreaLabelWidth, 0));
  label->setGeometry(place.right() - kAreaLabelWidth + 3, place.top(), kAreaLabelWidth - 2,
                     place.height());
  label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  label->show();
  virtual_->areaOfAreas = label;

  QPushButton* preview = ui_->BitBtn1;
  QPushButton* button = new QPushButton(preview->parentWidget());
  button->setObjectName(QStringLiteral("playbackButton"));
  // Below BitBtn1 and as large, where "Playback" fits as well as "回放".
  button->setGeometry(preview->geometry().translated(0, preview->height() + 2));
  button->show();
  virtual_->playbackButton = button;
  virtual_->playbackTimer = new QTimer(this);
  virtual_->playbackTimer->setObjectName(QStringLiteral("playbackTimer"));

  connect(button, &QPushButton::clicked, this, [this] { PlaybackClick(); });
  connect(virtual_->playbackTimer, &QTimer::timeout, this, [this] { PlaybackTimer(); });
  // The user's own preview and the playback share the lamps.
  connect(ui_->BitBtn1, &QPushButton::clicked, this, [this] { StopPlayback(); });
  connect(ui_->ComboBox6, &QComboBox::currentIndexChanged, this, [this] { RefreshVirtualEntry(); });
  for (QPushButton* language : {ui_->BitBtn11, ui_->BitBtn12, ui_->BitBtn13})
    connect(language, &QPushButton::clicked, this, [this] { RefreshVirtualEntry(); });
  RefreshVirtualEntry();
}

VirtualController& TForm2::virtualController() {
  return virtual_->controller;
}

void TForm2::AddVirtualEntry() {
  ui_->ComboBox5->addItem(Tr(VirtualController::EntryText(ui_->ComboBox6->currentIndex())),
                          QString::fromLatin1(kVirtualEntryTag));
}

// The entry names the model selected in ComboBox6, in the language shown; a port text
// that names the virtual controller follows it.
void TForm2::RefreshVirtualEntry() {
  QComboBox* ports = ui_->ComboBox5;
  const QSignalBlocker quiet(ports);
  const QString text = Tr(VirtualController::EntryText(ui_->ComboBox6->currentIndex()));
  const bool chosen = VirtualController::IsEntry(ports->currentText().trimmed().toStdString());
  const int index = ports->findData(QString::fromLatin1(kVirtualEntryTag));
  if (index >= 0) ports->setItemText(index, text);
  if (chosen) ports->setEditText(text);
  if (virtual_) virtual_->playbackButton->setText(Tr(kPlaybackCaption));
}

// The device of a virtual controller of the selected model. When none can be
// started the reason goes to Memo1 and the entry's own text is given, which
// the port then fails to open with the usual message.
std::string TForm2::VirtualDevice() {
  RefreshVirtualEntry();
  std::string device;
  const Outcome started = virtual_->controller.Attach(document_.profile().modelIndex, device);
  if (started.ok) return device;
  ui_->Memo1->appendPlainText(Tr(started.message));
  return ui_->ComboBox5->currentText().trimmed().toStdString();
}

// In all-areas mode: which area of how many is being sent; a single-area
// model counts as one area. Empty for a download of the current area.
void TForm2::ShowAreaOfAreas(int area) {
  QLabel* label = virtual_ ? virtual_->areaOfAreas : nullptr;
  if (!label) return;
  if (area < 0 || !link_->allAreasMode()) {
    label->clear();
    return;
  }
  label->setText(
      QStringLiteral("%1/%2").arg(area + 1).arg(std::max(document_.profile().areaCount, 1)));
}

// Plays the virtual controller's image of the shown area (or of the lowest
// area it holds) on the lamps, decoded apart from the user's areas; a
// second click stops it.
void TForm2::PlaybackClick() {
  if (virtual_->playbackTimer->isActive()) {
    StopPlayback();
    return;
  }
  auto playback = std::make_unique<VirtualPlayback>();
  const Outcome loaded = LoadPlayback(virtual_->controller, document_.profile().valueKind,
                                      document_.store().currentArea, *playback);
  if (!loaded.ok) {
    vqled::ShowMessage(this, Tr(kPlaybackCaption), Tr(loaded.message));
    return;
  }
  if (Timer3->isActive()) BitBtn1Click();
  virtual_->playback = std::move(playback);
  ui_->Label13->setText(Tr({"回放第" + std::to_string(virtual_->playback->area + 1) + "区",
                            "playback of area " + std::to_string(virtual_->playback->area + 1)}));
  virtual_->playbackTimer->start(kPreviewTickMs);
}

void TForm2::PlaybackTimer() {
  VirtualPlayback* playback = virtual_->playback.get();
  if (!playback) return;
  int shades[kPreviewLampCount];
  if (!PreviewTick(playback->player, playback->store, shades)) return;
  for (int k = 0; k < kPreviewLampCount; ++k) previewLamps[k]->setBrushColor(LampColour(shades[k]));
}

void TForm2::StopPlayback() {
  virtual_->playbackTimer->stop();
  virtual_->playback.reset();
}

}  // namespace vqled
