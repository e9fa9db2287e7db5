#include "preview_window.h"

#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "file_dialog.h"
#include "files/file_io.h"
#include "message_box.h"
#include "panel_text.h"
#include "preview_panel.h"
#include "ui/area_render.h"
#include "ui/lamp_colour.h"

namespace vqled {

namespace {

PreviewClock::TimeSource& TimeSourceHook() {
  static PreviewClock::TimeSource source;
  return source;
}

// The window repaints at 50 Hz; the frame shown comes from the clock, so a
// late repaint skips frames and never delays the next ones. Which frames an
// area has and their times are read again every 200 ms and at every command.
constexpr int kRepaintMs = 20;
constexpr int64_t kReadEveryMs = 200;

enum CaptionIndex : int {
  CAPTION_TITLE,
  CAPTION_PLAY,
  CAPTION_PAUSE,
  CAPTION_BACK,
  CAPTION_FORWARD,
  CAPTION_SPEED,
  CAPTION_LOOP_AREA,
  CAPTION_LOOP_ENDLESS,
  CAPTION_CURRENT_AREA,
  CAPTION_ALL_AREAS,
  CAPTION_SAVE_GIF,
  CAPTION_FRAME,  // %1 the frame, %2 the frames, %3 the time into the play in s
  CAPTION_AREA,   // %1 the area's number
  CAPTION_COUNT
};

// Simplified Chinese, Traditional Chinese, English.
constexpr const char* kCaptions[CAPTION_COUNT][3] = {
    {"预览窗口", "預覽窗口", "Preview window"},
    {"播放", "播放", "Play"},
    {"暂停", "暫停", "Pause"},
    {"上一帧", "上一幀", "Previous frame"},
    {"下一帧", "下一幀", "Next frame"},
    {"速度", "速度", "Speed"},
    {"按分区循环设置", "按分區循環設置", "Loop as the area says"},
    {"无限循环", "無限循環", "Loop for ever"},
    {"当前分区", "當前分區", "Current area"},
    {"全部分区", "全部分區", "All areas"},
    {"保存GIF", "保存GIF", "Save GIF"},
    {"帧 %1/%2  %3 秒", "幀 %1/%2  %3 秒", "frame %1/%2  %3 s"},
    {"第%1分区", "第%1分區", "Area %1"},
};

// The channels an area shows: the grid's for the area laid out now, each
// area's own where the model gives every area its channel count.
int AreaChannels(const Document& document, int area) {
  const ModelProfile& profile = document.profile();
  if (profile.areaMode != AREA_MODE_UNIFORM && area != document.store().currentArea &&
      profile.areaChannels[area] > 0)
    return profile.areaChannels[area];
  return document.store().gridRowCount - kHeaderRows;
}

constexpr double kSpeeds[] = {0.25, 0.5, 1.0, 2.0, 4.0};
constexpr int kNormalSpeed = 2;

}  // namespace

void SetPreviewTimeSource(PreviewClock::TimeSource source) {
  TimeSourceHook() = std::move(source);
}

// The lamps of the shown areas: each lamp filled with LampColour of its
// channel's cell in the frame its area shows, its channel number below it,
// the area's name over each block. Only lamps in the repainted part are drawn.
class PreviewLampView : public QWidget {
 public:
  PreviewLampView(const Document& document, const PreviewPlayback& playback,
                  std::function<QString(int area)> areaName)
      : document_(document), playback_(playback), areaName_(std::move(areaName)) {
    setObjectName(QStringLiteral("previewWindowLamps"));
    setAutoFillBackground(true);
    QPalette dark = palette();
    dark.setColor(QPalette::Window, ToQColor(kRenderBackground));
    setPalette(dark);
  }

  void SetGrid(const PreviewLampGrid& grid) {
    grid_ = grid;
    setFixedSize(grid.Width(), grid.Height());
  }
  const PreviewLampGrid& grid() const { return grid_; }

 protected:
  void paintEvent(QPaintEvent* event) override {
    QPainter painter(this);
    QFont small = font();
    small.setPixelSize(PreviewLampGrid::kNumberHeight - 2);
    painter.setFont(small);
    const int blocks = std::min(grid_.blocks, playback_.Count());
    for (int block = 0; block < blocks; ++block) PaintBlock(painter, event->rect(), block);
  }

 private:
  void PaintBlock(QPainter& painter, const QRect& dirty, int block) {
    const PatternStore& store = document_.store();
    const int area = playback_.Area(block);
    const int column = kFirstFrameColumn + playback_.Clock(block).Frame();
    constexpr int kSize = PreviewLampGrid::kLampSize;
    painter.setPen(Qt::white);
    painter.drawText(QRect(grid_.BlockLeft(block), PreviewLampGrid::kMargin, grid_.BlockWidth(),
                           PreviewLampGrid::kCaptionHeight),
                     Qt::AlignLeft | Qt::AlignTop, areaName_(area));
    const int channels = std::min(AreaChannels(document_, area), grid_.channels);
    for (int k = 0; k < channels; ++k) {
      const QRect lamp(grid_.LampLeft(block, k), grid_.LampTop(k), kSize, kSize);
      const QRect number(lamp.left() - 5, lamp.bottom() + 2, kSize + 10,
                         PreviewLampGrid::kNumberHeight);
      if (!dirty.intersects(lamp.united(number))) continue;
      painter.setPen(Qt::gray);
      painter.setBrush(ToQColor(LampColour(store.Cell(area, k + kHeaderRows, column))));
      painter.drawRoundedRect(lamp, 3, 3);
      painter.setPen(Qt::lightGray);
      painter.drawText(number, Qt::AlignCenter, QString::number(k + 1));
    }
  }

  const Document& document_;
  const PreviewPlayback& playback_;
  std::function<QString(int area)> areaName_;
  PreviewLampGrid grid_;
};

PreviewWindow::PreviewWindow(QWidget* parent, Document& document, const Language& language,
                             const LanguageMode& languageMode,
                             std::function<void(int column)> showColumn)
    : QWidget(parent, Qt::Window),
      document_(document),
      language_(language),
      languageMode_(languageMode),
      showColumn_(std::move(showColumn)),
      nowMs_(TimeSourceHook() ? TimeSourceHook() : PreviewClock::TimeSource(SteadyNowMs)),
      playback_(nowMs_) {
  setObjectName(QStringLiteral("previewWindow"));
  CreateControls();
  Retranslate();
  resize(1000, 600);
  Read();
}

PreviewWindow::~PreviewWindow() = default;

QString PreviewWindow::Caption(int row) const {
  return QString::fromUtf8(kCaptions[row][language_]);
}

void PreviewWindow::CreateControls() {
  auto* bar = new QHBoxLayout;
  auto button = [this, bar](const char* name) {
    auto* made = new QPushButton(this);
    made->setObjectName(QString::fromLatin1(name));
    bar->addWidget(made);
    return made;
  };
  backButton_ = button("previewBackButton");
  playButton_ = button("previewPlayButton");
  forwardButton_ = button("previewForwardButton");
  scrubBar_ = new QSlider(Qt::Horizontal, this);
  scrubBar_->setObjectName(QStringLiteral("previewScrubBar"));
  bar->addWidget(scrubBar_, 1);
  frameLabel_ = new QLabel(this);
  frameLabel_->setObjectName(QStringLiteral("previewFrameLabel"));
  frameLabel_->setMinimumWidth(150);
  bar->addWidget(frameLabel_);
  speedLabel_ = new QLabel(this);
  bar->addWidget(speedLabel_);
  speedBox_ = new QComboBox(this);
  speedBox_->setObjectName(QStringLiteral("previewSpeedBox"));
  for (double speed : kSpeeds) speedBox_->addItem(QStringLiteral("%1x").arg(speed), speed);
  speedBox_->setCurrentIndex(kNormalSpeed);
  bar->addWidget(speedBox_);
  loopBox_ = new QComboBox(this);
  loopBox_->setObjectName(QStringLiteral("previewLoopBox"));
  loopBox_->addItems({QString(), QString()});
  loopBox_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  bar->addWidget(loopBox_);
  scopeBox_ = new QComboBox(this);
  scopeBox_->setObjectName(QStringLiteral("previewScopeBox"));
  scopeBox_->addItems({QString(), QString()});
  scopeBox_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  bar->addWidget(scopeBox_);
  saveGifButton_ = button("previewSaveGifButton");

  lamps_ = new PreviewLampView(document_, playback_,
                               [this](int area) { return Caption(CAPTION_AREA).arg(area + 1); });
  scroll_ = new QScrollArea(this);
  scroll_->setWidget(lamps_);
  scroll_->viewport()->setPalette(lamps_->palette());  // one dark ground round the lamps
  auto* column = new QVBoxLayout(this);
  column->addLayout(bar);
  column->addWidget(scroll_, 1);

  repaintTimer_ = new QTimer(this);
  repaintTimer_->setObjectName(QStringLiteral("previewRepaintTimer"));
  connect(repaintTimer_, &QTimer::timeout, this, [this] { Refresh(); });
  connect(playButton_, &QPushButton::clicked, this, [this] { PlayClick(); });
  connect(backButton_, &QPushButton::clicked, this, [this] { StepClick(false); });
  connect(forwardButton_, &QPushButton::clicked, this, [this] { StepClick(true); });
  connect(scrubBar_, &QSlider::valueChanged, this, [this](int frame) { ScrubMoved(frame); });
  connect(speedBox_, &QComboBox::currentIndexChanged, this,
          [this](int index) { playback_.SetSpeed(speedBox_->itemData(index).toDouble()); });
  connect(loopBox_, &QComboBox::currentIndexChanged, this, [this] { Read(); });
  connect(scopeBox_, &QComboBox::currentIndexChanged, this, [this] { Read(); });
  connect(saveGifButton_, &QPushButton::clicked, this, [this] { SaveGifClick(); });
}

void PreviewWindow::Retranslate() {
  setWindowTitle(Caption(CAPTION_TITLE));
  backButton_->setText(Caption(CAPTION_BACK));
  forwardButton_->setText(Caption(CAPTION_FORWARD));
  speedLabel_->setText(Caption(CAPTION_SPEED));
  loopBox_->setItemText(0, Caption(CAPTION_LOOP_AREA));
  loopBox_->setItemText(1, Caption(CAPTION_LOOP_ENDLESS));
  scopeBox_->setItemText(0, Caption(CAPTION_CURRENT_AREA));
  scopeBox_->setItemText(1, Caption(CAPTION_ALL_AREAS));
  saveGifButton_->setText(Caption(CAPTION_SAVE_GIF));
  ShowState();
  lamps_->update();
}

const PreviewLampGrid& PreviewWindow::lampGrid() const {
  return lamps_->grid();
}

QWidget* PreviewWindow::lampView() const {
  return lamps_;
}

int PreviewWindow::LeadSlot() const {
  const int slot = document_.store().currentArea - playback_.Area(0);
  return slot >= 0 && slot < playback_.Count() ? slot : 0;
}

// The shown areas, their frames, times and plays, and the lamps' layout for
// the view's width, as the store and the form now hold them.
void PreviewWindow::Read() {
  const PatternStore& store = document_.store();
  const bool all = scopeBox_->currentIndex() == 1;
  const int count = all ? std::clamp(document_.profile().areaCount, 1, kAreaCount) : 1;
  playback_.ShowAreas(all ? 0 : store.currentArea, count);
  playback_.Read(store, loopBox_->currentIndex() == 1);
  int channels = 0;
  for (int slot = 0; slot < count; ++slot)
    channels = std::max(channels, AreaChannels(document_, playback_.Area(slot)));
  const PreviewLampGrid grid = LayoutPreviewLamps(channels, count, scroll_->viewport()->width());
  if (grid.columns != lamps_->grid().columns || grid.blocks != lamps_->grid().blocks ||
      grid.channels != lamps_->grid().channels)
    lamps_->SetGrid(grid);
  lastReadMs_ = nowMs_();
  ShowState();
  lamps_->update();
}

void PreviewWindow::Refresh() {
  const int64_t now = nowMs_();
  if (now - lastReadMs_ >= kReadEveryMs || now < lastReadMs_) {
    Read();
    return;
  }
  ShowState();
  lamps_->update();
}

// The play button, the scrub bar and the frame label follow the current
// area's clock.
void PreviewWindow::ShowState() {
  if (playback_.Count() == 0) return;
  const PreviewClock& clock = playback_.Clock(LeadSlot());
  const PreviewTimeline& timeline = playback_.Timeline(LeadSlot());
  const int frame = clock.Frame();
  playButton_->setText(Caption(playback_.Playing() ? CAPTION_PAUSE : CAPTION_PLAY));
  const QSignalBlocker quiet(scrubBar_);
  scrubBar_->setRange(0, std::max(timeline.frameCount - 1, 0));
  scrubBar_->setValue(frame);
  const int64_t intoPlay =
      timeline.DurationMs() > 0 ? clock.PositionMs() - clock.Pass() * timeline.DurationMs() : 0;
  frameLabel_->setText(Caption(CAPTION_FRAME)
                           .arg(timeline.frameCount > 0 ? frame + 1 : 0)
                           .arg(timeline.frameCount)
                           .arg(static_cast<double>(intoPlay) / 1000.0, 0, 'f', 3));
}

void PreviewWindow::PlayClick() {
  Read();
  if (playback_.Playing()) {
    playback_.Pause();
  } else {
    playback_.Play();
  }
  ShowState();
}

void PreviewWindow::StepClick(bool forward) {
  Read();
  if (forward) {
    playback_.StepForward();
  } else {
    playback_.StepBack();
  }
  ShowLeadColumn();
}

void PreviewWindow::ScrubMoved(int frame) {
  playback_.SeekFrame(frame);
  ShowLeadColumn();
}

// The grid scrolls to the current area's shown frame.
void PreviewWindow::ShowLeadColumn() {
  ShowState();
  lamps_->update();
  if (playback_.Count() == 0 || playback_.Timeline(LeadSlot()).frameCount == 0) return;
  showColumn_(kFirstFrameColumn + playback_.Clock(LeadSlot()).Frame());
}

void PreviewWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Read();
  repaintTimer_->start(kRepaintMs);
}

void PreviewWindow::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  repaintTimer_->stop();
}

void PreviewWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Read();
}

// The GIF vqled-cli render writes of the current area, at the same scale.
void PreviewWindow::SaveGifClick() {
  Read();
  const PatternStore& store = document_.store();
  const int area = store.currentArea;
  FileDialogRequest request;
  request.save = true;
  request.directory = QDir::currentPath();
  request.filter = QStringLiteral("GIF (*.gif)|*.gif");
  request.fileName = QStringLiteral("area%1.gif").arg(area + 1);
  const QString path = RunFileDialog(this, request);
  if (path.isEmpty()) return;
  const AreaPicture picture{area, store.gridRowCount - kHeaderRows, PreviewFrameCount(store, area),
                            PlaysOfArea(store.playSettings[area]), kDefaultRenderScale};
  std::vector<uint8_t> gif;
  Outcome saved = RenderAreaGif(store, picture, gif);
  if (saved.ok) {
    SafeFileWriter file(path.toStdString());
    saved = file.Open();
    if (saved.ok) {
      file.Write(gif.data(), gif.size());
      saved = file.Commit();
    }
  }
  if (!saved.ok)
    ShowMessage(this, windowTitle(), InLanguage(saved.message, languageMode_), MESSAGE_ERROR);
}

}  // namespace vqled
