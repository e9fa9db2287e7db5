#include "virtual_panel.h"

#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <algorithm>

#include "message_box.h"
#include "panel_text.h"
#include "preview_panel.h"
#include "ui_Mianc.h"

namespace vqled {

namespace {

// The tag of the port list's virtual entry; the entry's text follows the
// model and the language.
const char* const kVirtualEntryTag = "virtual";
constexpr int kAreaLabelWidth = 36;

const Text kPlaybackCaption{"回放", "Playback"};

}  // namespace

VirtualPanel::VirtualPanel(QWidget* form, Ui::TForm2& ui, Document& document, PreviewPanel& preview,
                           const LanguageMode& language)
    : form_(form), ui_(ui), document_(document), preview_(preview), language_(language) {
  QProgressBar* bar = ui_.cxProgressBar1;
  areaOfAreas_ = new QLabel(bar->parentWidget());
  areaOfAreas_->setObjectName(QStringLiteral("areaOfAreasLabel"));
  const QRect place = bar->geometry();
  bar->setGeometry(place.adjusted(0, 0, -kAreaLabelWidth, 0));
  areaOfAreas_->setGeometry(place.right() - kAreaLabelWidth + 3, place.top(), kAreaLabelWidth - 2,
                            place.height());
  areaOfAreas_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  areaOfAreas_->show();

  QPushButton* previewButton = ui_.BitBtn1;
  playbackButton_ = new QPushButton(previewButton->parentWidget());
  playbackButton_->setObjectName(QStringLiteral("playbackButton"));
  // Below BitBtn1 and as large, where "Playback" fits as well as "回放".
  playbackButton_->setGeometry(
      previewButton->geometry().translated(0, previewButton->height() + 2));
  playbackButton_->show();
  playbackTimer_ = new QTimer(form);
  playbackTimer_->setObjectName(QStringLiteral("playbackTimer"));
}

QString VirtualPanel::Tr(const Text& text) const {
  return InLanguage(text, language_);
}

void VirtualPanel::AddEntry(QComboBox* ports, int model, const LanguageMode& language) {
  ports->addItem(InLanguage(VirtualController::EntryText(model), language),
                 QString::fromLatin1(kVirtualEntryTag));
}

// The entry names the model selected in ComboBox6, in the language shown; a port text
// that names the virtual controller follows it.
void VirtualPanel::RefreshEntry() {
  QComboBox* ports = ui_.ComboBox5;
  const QSignalBlocker quiet(ports);
  const QString text = Tr(VirtualController::EntryText(ui_.ComboBox6->currentIndex()));
  const bool chosen = VirtualController::IsEntry(ports->currentText().trimmed().toStdString());
  const int index = ports->findData(QString::fromLatin1(kVirtualEntryTag));
  if (index >= 0) ports->setItemText(index, text);
  if (chosen) ports->setEditText(text);
  playbackButton_->setText(Tr(kPlaybackCaption));
}

// When none can be started the reason goes to Memo1 and the entry's own text
// is given, which the port then fails to open with the usual message.
std::string VirtualPanel::Device() {
  RefreshEntry();
  std::string device;
  const Outcome started = controller_.Attach(document_.profile().modelIndex, device);
  if (started.ok) return device;
  ui_.Memo1->appendPlainText(Tr(started.message));
  return ui_.ComboBox5->currentText().trimmed().toStdString();
}

// In all-areas mode: which area of how many is being sent; a single-area
// model counts as one area. Empty for a download of the current area.
void VirtualPanel::ShowAreaOfAreas(int area, bool allAreasMode) {
  if (area < 0 || !allAreasMode) {
    areaOfAreas_->clear();
    return;
  }
  areaOfAreas_->setText(
      QStringLiteral("%1/%2").arg(area + 1).arg(std::max(document_.profile().areaCount, 1)));
}

// Plays the virtual controller's image of the shown area (or of the lowest
// area it holds) on the lamps, decoded apart from the user's areas; a
// second click stops it.
void VirtualPanel::PlaybackClick() {
  if (playbackTimer_->isActive()) {
    StopPlayback();
    return;
  }
  auto playback = std::make_unique<VirtualPlayback>();
  const Outcome loaded = LoadPlayback(controller_, document_.profile().valueKind,
                                      document_.store().currentArea, *playback);
  if (!loaded.ok) {
    ShowMessage(form_, Tr(kPlaybackCaption), Tr(loaded.message));
    return;
  }
  if (preview_.Running()) preview_.Toggle();
  playback_ = std::move(playback);
  const std::string area = std::to_string(playback_->area + 1);
  ui_.Label13->setText(Tr({"回放第" + area + "区", "playback of area " + area}));
  playbackTimer_->start(kPreviewTickMs);
}

void VirtualPanel::PlaybackTimer() {
  if (!playback_) return;
  int shades[kPreviewLampCount];
  if (PreviewTick(playback_->player, playback_->store, shades)) preview_.ShowShades(shades);
}

void VirtualPanel::StopPlayback() {
  playbackTimer_->stop();
  playback_.reset();
}

}  // namespace vqled
