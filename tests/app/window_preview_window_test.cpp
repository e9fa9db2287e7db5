// The preview window, pressed and clicked as a user does: a lamp for every
// channel coloured as the strip colours it, stepping and scrubbing that move
// the grid's view, play on exact frame times from an injected clock, a live
// read of the store that changes nothing in it, the GIF and the captions.
#include <gif_lib.h>

#include <QComboBox>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <cstring>
#include <memory>

#include "file_dialog.h"
#include "preview_window.h"
#include "ui/lamp_colour.h"
#include "window_fixture.h"

using namespace vqled;

namespace {

constexpr int kModelVQM14 = 14;  // 360 channels, two areas
constexpr int kFrames = 120;     // enough frames that the grid must scroll

// Area 0 of VQ-M14: frame f (1-based) lights channel f % 360 with value f,
// and lasts 100 ms, but frames 1..3 last 250, 50 and 700 ms.
void WriteArea(PatternStore& store) {
  for (int f = 1; f <= kFrames; ++f) {
    const int column = kFirstFrameColumn + f - 1;
    store.Cell(0, kHeaderRows + f % 360, column) = f;
    store.frameTime[0].timeType[column] = FRAME_TIME_MS;
    store.frameTime[0].timeValue[column] = f == 1 ? 250 : f == 2 ? 50 : f == 3 ? 700 : 100;
  }
}

// The colour the window paints at the middle of lamp k of block 0.
QColor LampAt(PreviewWindow& window, int block, int k) {
  const PreviewLampGrid& grid = window.lampGrid();
  const QImage image = window.lampView()->grab().toImage();
  const int half = PreviewLampGrid::kLampSize / 2;
  return image.pixelColor(grid.LampLeft(block, k) + half, grid.LampTop(k) + half);
}

QColor Expected(int32_t value) {
  const Rgb colour = LampColour(value);
  return QColor(colour.red, colour.green, colour.blue);
}

template <typename T>
T* Child(QWidget& window, const char* name) {
  return window.findChild<T*>(QString::fromLatin1(name));
}

void Click(QWidget& window, const char* button) {
  QTest::mouseClick(Child<QPushButton>(window, button), Qt::LeftButton);
}

// A started window on VQ-M14 with area 0 written, a clock the test moves, and
// the preview window opened by its button.
struct PreviewFixture {
  PreviewFixture() {
    SetPreviewTimeSource([this] { return now; });
    form = &fixture.Start();
    SelectModel(*form, kModelVQM14);
    WriteArea(form->document().store());
    QTest::mouseClick(form->preview().windowButton(), Qt::LeftButton);
    window = form->preview().window();
  }
  ~PreviewFixture() { SetPreviewTimeSource({}); }

  PreviewWindow& win() { return *window; }
  int Frame() const { return window->playback().Clock(0).Frame(); }

  int64_t now = 70000;
  WindowFixture fixture;
  TForm2* form = nullptr;
  PreviewWindow* window = nullptr;
};

// The store's bytes, to show that the window changed none of them.
std::unique_ptr<PatternStore> Snapshot(const PatternStore& store) {
  auto copy = std::make_unique<PatternStore>();
  std::memcpy(static_cast<void*>(copy.get()), static_cast<const void*>(&store),
              sizeof(PatternStore));
  return copy;
}

bool SameStore(const PatternStore& a, const PatternStore& b) {
  return std::memcmp(static_cast<const void*>(&a), static_cast<const void*>(&b),
                     sizeof(PatternStore)) == 0;
}

}  // namespace

class WindowPreviewWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void opensWithALampPerChannelColouredAsTheStrip();
  void stepAndScrubMoveTheFrameAndTheGridsView();
  void playAdvancesByTheFrameTimesAtTheChosenSpeed();
  void editWhilePlayingShowsAndTheStoreIsOtherwiseUnchanged();
  void allAreasSideBySideAndEndlessLoop();
  void saveGifWritesAFramePerFrameOrTellsWhyNot();
  void captionsFollowTheLanguageSwitches();
};

void WindowPreviewWindowTest::opensWithALampPerChannelColouredAsTheStrip() {
  PreviewFixture p;
  QVERIFY(p.window != nullptr);
  QVERIFY(p.win().isVisible());
  QVERIFY(p.win().isWindow());
  QVERIFY(!p.win().isModal());
  QCOMPARE(p.win().lampGrid().channels, 360);
  QCOMPARE(p.win().lampGrid().blocks, 1);
  QCOMPARE(p.win().playback().Timeline(0).frameCount, kFrames);
  // Frame 1 shows: channel 1 (lamp 1) at value 1, the rest unlit.
  QCOMPARE(p.Frame(), 0);
  QCOMPARE(LampAt(p.win(), 0, 1), Expected(1));
  QCOMPARE(LampAt(p.win(), 0, 0), Expected(0));
  // Values across the shades, as the strip colours them.
  PatternStore& store = p.form->document().store();
  const int32_t values[] = {0, 1, 2, 3, 50, 100, 128, 200, 255, 300};
  for (int i = 0; i < 10; ++i) store.Cell(0, kHeaderRows + 300 + i, kFirstFrameColumn) = values[i];
  for (int i = 0; i < 10; ++i) QCOMPARE(LampAt(p.win(), 0, 300 + i), Expected(values[i]));
  // Closed, it stops repainting; a second click brings the same window back.
  auto* repaint = p.win().findChild<QTimer*>(QStringLiteral("previewRepaintTimer"));
  QVERIFY(repaint->isActive());
  p.win().close();
  QVERIFY(!repaint->isActive());
  QTest::mouseClick(p.form->preview().windowButton(), Qt::LeftButton);
  QCOMPARE(p.form->preview().window(), p.window);
  QVERIFY(p.win().isVisible());
  QVERIFY(repaint->isActive());
}

void WindowPreviewWindowTest::stepAndScrubMoveTheFrameAndTheGridsView() {
  PreviewFixture p;
  Click(p.win(), "previewForwardButton");
  QCOMPARE(p.Frame(), 1);
  QCOMPARE(LampAt(p.win(), 0, 2), Expected(2));
  QVERIFY(p.form->grid()->isCellInView(kFirstFrameColumn + 1, 1));
  Click(p.win(), "previewBackButton");
  Click(p.win(), "previewBackButton");  // before frame 1: stays there
  QCOMPARE(p.Frame(), 0);
  auto* scrub = Child<QSlider>(p.win(), "previewScrubBar");
  QCOMPARE(scrub->maximum(), kFrames - 1);
  scrub->setFocus();
  QTest::keyClick(scrub, Qt::Key_End);
  QCOMPARE(p.Frame(), kFrames - 1);
  QCOMPARE(LampAt(p.win(), 0, kFrames % 360), Expected(kFrames));
  QVERIFY(p.form->grid()->isCellInView(kFirstFrameColumn + kFrames - 1, 1));
  QVERIFY(!p.form->grid()->isCellInView(kFirstFrameColumn, 1));
  QTest::keyClick(scrub, Qt::Key_Home);
  QCOMPARE(p.Frame(), 0);
  QVERIFY(p.form->grid()->isCellInView(kFirstFrameColumn, 1));
}

void WindowPreviewWindowTest::playAdvancesByTheFrameTimesAtTheChosenSpeed() {
  PreviewFixture p;
  Click(p.win(), "previewPlayButton");
  QCOMPARE(Child<QPushButton>(p.win(), "previewPlayButton")->text(), QStringLiteral("暂停"));
  p.now += 249;
  QCOMPARE(LampAt(p.win(), 0, 1), Expected(1));
  p.now += 1;  // 250 ms: frame 2
  QCOMPARE(LampAt(p.win(), 0, 2), Expected(2));
  p.now += 50;  // 300 ms: frame 3, for 700 ms
  QCOMPARE(LampAt(p.win(), 0, 3), Expected(3));
  p.now += 699;
  QCOMPARE(p.Frame(), 2);
  p.now += 1;
  QCOMPARE(p.Frame(), 3);
  // Twice the speed: the 100 ms frames last 50 ms of the clock.
  auto* speed = Child<QComboBox>(p.win(), "previewSpeedBox");
  speed->setFocus();
  QTest::keyClick(speed, Qt::Key_Down);
  QCOMPARE(speed->currentText(), QStringLiteral("2x"));
  p.now += 50;
  QCOMPARE(p.Frame(), 4);
  p.now += 49;
  QCOMPARE(p.Frame(), 4);
  Click(p.win(), "previewPlayButton");  // pause
  p.now += 10000;
  QCOMPARE(p.Frame(), 4);
  QCOMPARE(Child<QPushButton>(p.win(), "previewPlayButton")->text(), QStringLiteral("播放"));
  // The area loops for ever by default: a whole play later, the same frame.
  Click(p.win(), "previewPlayButton");
  const int64_t duration = p.win().playback().Timeline(0).DurationMs();
  p.now += duration / 2;  // at 2x
  QCOMPARE(p.Frame(), 4);
}

void WindowPreviewWindowTest::editWhilePlayingShowsAndTheStoreIsOtherwiseUnchanged() {
  PreviewFixture p;
  PatternStore& store = p.form->document().store();
  const auto before = Snapshot(store);
  Click(p.win(), "previewPlayButton");
  p.now += 300;  // frame 3
  QCOMPARE(p.Frame(), 2);
  store.Cell(0, kHeaderRows + 10, kFirstFrameColumn + 2) = 200;
  QCOMPARE(LampAt(p.win(), 0, 10), Expected(200));
  QTRY_VERIFY(p.win().isVisible());  // the repaint timer runs meanwhile
  Click(p.win(), "previewForwardButton");
  Click(p.win(), "previewBackButton");
  QTest::keyClick(Child<QSlider>(p.win(), "previewScrubBar"), Qt::Key_End);
  QTest::qWait(60);
  store.Cell(0, kHeaderRows + 10, kFirstFrameColumn + 2) = 0;
  QVERIFY(SameStore(*before, store));
}

void WindowPreviewWindowTest::allAreasSideBySideAndEndlessLoop() {
  PreviewFixture p;
  PatternStore& store = p.form->document().store();
  store.Cell(1, kHeaderRows + 5, kFirstFrameColumn) = 77;  // area 2, frame 1
  store.playSettings[0].loopMode = LOOP_ONCE;
  auto* scope = Child<QComboBox>(p.win(), "previewScopeBox");
  scope->setFocus();
  QTest::keyClick(scope, Qt::Key_Down);
  QCOMPARE(p.win().playback().Count(), 2);
  QCOMPARE(p.win().lampGrid().blocks, 2);
  QCOMPARE(LampAt(p.win(), 1, 5), Expected(77));
  QCOMPARE(LampAt(p.win(), 0, 1), Expected(1));
  // Area 1 plays once and stays on its last frame; endless plays on.
  const int64_t duration = p.win().playback().Timeline(0).DurationMs();
  Click(p.win(), "previewPlayButton");
  p.now += duration + 250;
  QCOMPARE(p.Frame(), kFrames - 1);
  QVERIFY(p.win().playback().Clock(1).Playing());  // area 2 loops for ever
  auto* loop = Child<QComboBox>(p.win(), "previewLoopBox");
  loop->setFocus();
  QTest::keyClick(loop, Qt::Key_Down);
  Click(p.win(), "previewPlayButton");  // pauses both areas
  QVERIFY(!p.win().playback().Playing());
  Click(p.win(), "previewPlayButton");  // area 1 plays on from its end
  p.now += duration + 250;
  QCOMPARE(p.Frame(), 1);
}

void WindowPreviewWindowTest::saveGifWritesAFramePerFrameOrTellsWhyNot() {
  PreviewFixture p;
  const QString path = p.fixture.Path("area1.gif");
  FileDialogRequest asked;
  SetFileDialogHook([&](QWidget*, const FileDialogRequest& request) {
    asked = request;
    return path;
  });
  Click(p.win(), "previewSaveGifButton");
  QVERIFY(asked.save);
  QCOMPARE(asked.fileName, QStringLiteral("area1.gif"));
  int error = 0;
  GifFileType* gif = DGifOpenFileName(path.toLocal8Bit().constData(), &error);
  QVERIFY(gif != nullptr);
  QCOMPARE(DGifSlurp(gif), GIF_OK);
  QCOMPARE(gif->ImageCount, kFrames);
  DGifCloseFile(gif, &error);
  QVERIFY(p.fixture.messages.isEmpty());

  const QString unwritable = p.fixture.Path("no-such-folder/area1.gif");
  SetFileDialogHook([&](QWidget*, const FileDialogRequest&) { return unwritable; });
  Click(p.win(), "previewSaveGifButton");
  SetFileDialogHook({});
  QCOMPARE(p.fixture.messages.size(), 1);
  QVERIFY2(p.fixture.messages[0].text.contains(QStringLiteral("no-such-folder")),
           qPrintable(p.fixture.messages[0].text));
}

void WindowPreviewWindowTest::captionsFollowTheLanguageSwitches() {
  PreviewFixture p;
  struct Case {
    const char* button;
    const char* caption;
    const char* play;
  };
  const Case cases[] = {{"BitBtn13", "Preview window", "Play"},
                        {"BitBtn11", "預覽窗口", "播放"},
                        {"BitBtn12", "预览窗口", "播放"}};
  for (const Case& c : cases) {
    QTest::mouseClick(Child<QPushButton>(*p.form, c.button), Qt::LeftButton);
    QCOMPARE(p.form->preview().windowButton()->text(), QString::fromUtf8(c.caption));
    QCOMPARE(p.win().windowTitle(), QString::fromUtf8(c.caption));
    QCOMPARE(Child<QPushButton>(p.win(), "previewPlayButton")->text(), QString::fromUtf8(c.play));
  }
}

QTEST_MAIN(WindowPreviewWindowTest)
#include "window_preview_window_test.moc"
