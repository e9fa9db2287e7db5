// TForm2: the preview of the current area on the 72 lamps of Panel1,
// stepped by Timer3 every 100 ms (BitBtn1 "预览" starts and stops it).
#include <QLabel>
#include <QTimer>

#include "Mianc.h"
#include "shape.h"
#include "ui_Mianc.h"

namespace vqled {

namespace {

constexpr int kLampsPerRow = 36;
constexpr int kLampsPerBoard = 12;
constexpr int kLampPitch = 25;
constexpr int kLampSize = 16;
constexpr int kLampLeft = 16;
constexpr int kRowPitch = 84;   // the second row lies below the panel's visible 36 pixels
constexpr int kNumberTop = 38;  // below the lamps, under the visible band
constexpr int kBarTop = 52;
constexpr int kCaptionTop = 57;
constexpr const char* kBoardCaptions[kPreviewLamps / kLampsPerBoard] = {
    "控制板", "扩展板1", "扩展板2", "扩展板3", "扩展板4", "扩展板5"};

QLabel* PanelText(QWidget* panel, const QString& text, const QRect& box) {
  auto* label = new QLabel(text, panel);
  label->setAlignment(Qt::AlignCenter);
  label->setGeometry(box);
  return label;
}

}  // namespace

// Lamp k shows channel k + 1: lamps 0..35 in the first row, 36..71 in the
// second. Under each board's 12 lamps lie the numbers "1".."12", a teal bar
// and the board's caption ("控制板", "扩展板1".."扩展板5").
void TForm2::CreatePreviewLamps() {
  QWidget* panel = ui_->Panel1;
  const QColor pen = palette().color(QPalette::Inactive, QPalette::WindowText);
  for (int k = 0; k < kPreviewLamps; ++k) {
    const int top = (k / kLampsPerRow) * kRowPitch;
    const int left = kLampLeft + kLampPitch * (k % kLampsPerRow);
    Shape* lamp = new Shape(panel, Shape::SHAPE_ROUND_SQUARE);
    lamp->setObjectName(QStringLiteral("previewLamp%1").arg(k));
    lamp->setGeometry(left, top + 4, kLampSize, kLampSize);
    lamp->setBrushColor(Qt::white);
    lamp->setPenColor(pen);
    lamp->setToolTip(QString::number(k + 1));
    lamp->show();
    previewLamps[k] = lamp;
    const int number = k % kLampsPerBoard + 1;
    PanelText(panel, QString::number(number), {left - 4, top + kNumberTop, kLampSize + 8, 12})
        ->show();
    if (number != 1) continue;
    const int width = kLampPitch * kLampsPerBoard - (kLampPitch - kLampSize);
    auto* bar = new QWidget(panel);
    bar->setObjectName(QStringLiteral("previewBar%1").arg(k / kLampsPerBoard));
    bar->setGeometry(left, top + kBarTop, width, 3);
    bar->setAutoFillBackground(true);
    QPalette teal = bar->palette();
    teal.setColor(QPalette::Window, QColor(0, 128, 128));
    bar->setPalette(teal);
    bar->show();
    QLabel* caption = PanelText(panel, QString::fromUtf8(kBoardCaptions[k / kLampsPerBoard]),
                                {left, top + kCaptionTop, width, 16});
    caption->setObjectName(QStringLiteral("previewBoard%1").arg(k / kLampsPerBoard));
    caption->show();
  }
}

void TForm2::ConnectPreview() {
  connect(form()->BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
  connect(Timer3, &QTimer::timeout, this, [this] { Timer3Timer(); });
}

// TogglePreview: Timer3's own state decides between stopping and starting.
void TForm2::BitBtn1Click() {
  preview_.running = Timer3->isActive();
  if (TogglePreview(preview_, store)) {
    Timer3->start(kPreviewTickMs);
  } else {
    Timer3->stop();
  }
}

// PreviewTick: the lamps change only when a new frame is shown.
void TForm2::Timer3Timer() {
  int shades[kPreviewLamps];
  if (!PreviewTick(preview_, store, shades)) return;
  for (int k = 0; k < kPreviewLamps; ++k) previewLamps[k]->setBrushColor(LampColour(shades[k]));
}

}  // namespace vqled
