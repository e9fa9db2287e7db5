#include "preview_panel.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "preview_window.h"
#include "shape.h"
#include "ui/lamp_colour.h"

namespace vqled {

namespace {

constexpr int kLampsPerRow = 36;
constexpr int kLampsPerBoard = 12;
constexpr int kLampPitch = 25;
constexpr int kLampSize = 16;
constexpr int kLampLeft = 16;
constexpr int kRowTops[2] = {4, 60};
// Below a row of lamps, out of the panel's visible 36 pixels and clear of the
// second row: the numbers, then the teal bar carrying the board's caption.
constexpr int kNumberOffset = 32;
constexpr int kBarOffset = 44;
constexpr int kTextHeight = 12;
// PreviewWindowBtn: at the top right of the area band, over "生成花样文件"
// and clear of the area tabs; the band beside BitBtn1 has no room left.
constexpr QRect kWindowButtonPlace{797, 175, 126, 21};
constexpr const char* kBoardCaptions[kPreviewLamps / kLampsPerBoard] = {
    "控制板", "扩展板1", "扩展板2", "扩展板3", "扩展板4", "扩展板5"};

QLabel* PanelText(QWidget* panel, const QString& text, const QRect& box) {
  auto* label = new QLabel(text, panel);
  QFont font = label->font();
  font.setPixelSize(kTextHeight - 2);
  label->setFont(font);
  label->setAlignment(Qt::AlignCenter);
  label->setGeometry(box);
  label->show();
  return label;
}

void BoardBar(QWidget* panel, int board, int left, int top) {
  constexpr int kWidth = kLampPitch * kLampsPerBoard - (kLampPitch - kLampSize);
  QLabel* bar =
      PanelText(panel, QString::fromUtf8(kBoardCaptions[board]), {left, top, kWidth, kTextHeight});
  bar->setObjectName(QStringLiteral("previewBoard%1").arg(board));
  bar->setAutoFillBackground(true);
  QPalette teal = bar->palette();
  teal.setColor(QPalette::Window, QColor(0, 128, 128));
  teal.setColor(QPalette::WindowText, Qt::white);
  bar->setPalette(teal);
}

}  // namespace

PreviewPanel::PreviewPanel(QWidget* form, QWidget* lampPanel, Document& document)
    : form_(form),
      lampPanel_(lampPanel),
      document_(document),
      Timer3(new QTimer(form)),
      PreviewWindowBtn(new QPushButton(form)) {
  Timer3->setObjectName(QStringLiteral("Timer3"));
  Timer3->setInterval(kPreviewTickMs);
  PreviewWindowBtn->setObjectName(QStringLiteral("PreviewWindowBtn"));
  PreviewWindowBtn->setGeometry(kWindowButtonPlace);
}

// The window reads the document, which goes with the form: it goes first.
PreviewPanel::~PreviewPanel() {
  delete window_;
}

void PreviewPanel::ConnectWindow(const LanguageMode& languageMode,
                                 std::function<void(int column)> showColumn) {
  languageMode_ = &languageMode;
  showColumn_ = std::move(showColumn);
}

void PreviewPanel::OpenWindow() {
  if (window_ == nullptr)
    window_ = new PreviewWindow(form_, document_, language_, *languageMode_, showColumn_);
  window_->show();
  window_->raise();
  window_->activateWindow();
}

void PreviewPanel::SetLanguage(Language language) {
  language_ = language;
  if (window_ != nullptr) window_->Retranslate();
}

// Lamp k (16 x 16) shows channel k + 1: lamps 0..35 at top 4, 36..71 at
// top 60, 25 pixels apart. Under each board's 12 lamps lie the numbers
// "1".."12" and a teal bar with the board's caption ("控制板",
// "扩展板1".."扩展板5").
void PreviewPanel::CreateLamps() {
  QWidget* panel = lampPanel_;
  const QColor pen = form_->palette().color(QPalette::Inactive, QPalette::WindowText);
  for (int k = 0; k < kPreviewLamps; ++k) {
    const int top = kRowTops[k / kLampsPerRow];
    const int left = kLampLeft + kLampPitch * (k % kLampsPerRow);
    Shape* lamp = new Shape(panel, Shape::SHAPE_ROUND_SQUARE);
    lamp->setObjectName(QStringLiteral("previewLamp%1").arg(k));
    lamp->setGeometry(left, top, kLampSize, kLampSize);
    lamp->setBrushColor(Qt::white);
    lamp->setPenColor(pen);
    lamp->setToolTip(QString::number(k + 1));
    lamp->show();
    lamps_[k] = lamp;
    const int number = k % kLampsPerBoard + 1;
    PanelText(panel, QString::number(number),
              {left - 4, top + kNumberOffset, kLampSize + 8, kTextHeight});
    if (number == 1) BoardBar(panel, k / kLampsPerBoard, left, top + kBarOffset);
  }
}

// TogglePreview: Timer3's own state decides between stopping and starting.
void PreviewPanel::Toggle() {
  player_.running = Timer3->isActive();
  if (TogglePreview(player_, document_.store())) {
    Timer3->start(kPreviewTickMs);
  } else {
    Timer3->stop();
  }
}

bool PreviewPanel::Running() const {
  return Timer3->isActive();
}

// PreviewTick: the lamps change only when a new frame is shown.
void PreviewPanel::Tick() {
  int shades[kPreviewLamps];
  if (PreviewTick(player_, document_.store(), shades)) ShowShades(shades);
}

// A lamp's fill: the preview's colour of the lamp's value, as the preview
// window and the rendered pictures show it.
void PreviewPanel::ShowShades(const int (&shades)[kPreviewLamps]) {
  for (int k = 0; k < kPreviewLamps; ++k)
    lamps_[k]->setBrushColor(ToQColor(ShadeColour(shades[k])));
}

}  // namespace vqled
