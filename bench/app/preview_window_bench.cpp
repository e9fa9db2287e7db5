// The preview window playing a 10.000 s area (VQ-M14, 360 channels, 400
// frames of 25 ms) on the real monotonic clock while two threads spin, one
// for each core. late_ms is the real time from pressing play to the first
// repaint that showed the area over (its play button back on "播放"), less
// the area's 10000 ms: frames may be skipped under load, the end never moves.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>
#include <thread>
#include <vector>

#include "Mianc.h"
#include "preview_window.h"

namespace {

QApplication& Application() {
  static int argc = 1;
  static char name[] = "preview_window_bench";
  static char* argv[] = {name, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication app(argc, argv);
  return app;
}

constexpr int kFrames = 400;
constexpr int kFrameMs = 25;
constexpr int kChannels = 360;

void WriteRunningLight(vqled::PatternStore& store) {
  for (int f = 0; f < kFrames; ++f) {
    const int column = vqled::kFirstFrameColumn + f;
    store.frameTime[0].timeType[column] = vqled::FRAME_TIME_MS;
    store.frameTime[0].timeValue[column] = kFrameMs;
    for (int k = 0; k < 8; ++k)
      store.Cell(0, vqled::kHeaderRows + (f + k) % kChannels, column) = 255 - 30 * k;
  }
  store.playSettings[0].loopMode = vqled::LOOP_ONCE;
}

void BM_PreviewWindowTenSecondsBothCoresBusy(benchmark::State& state) {
  QApplication& app = Application();
  QTemporaryDir scratch;
  QDir::setCurrent(scratch.path());
  vqled::TForm2 form;
  form.show();
  form.findChild<QComboBox*>(QStringLiteral("ComboBox6"))->setCurrentIndex(14);
  form.ComboBox6Change();
  WriteRunningLight(form.document().store());
  form.PreviewWindowBtnClick();
  vqled::PreviewWindow& window = *form.preview().window();
  auto* play = window.findChild<QPushButton*>(QStringLiteral("previewPlayButton"));
  const QString idle = play->text();

  std::atomic<bool> spin{true};
  std::vector<std::thread> busy;
  for (int core = 0; core < 2; ++core)
    busy.emplace_back([&spin] {
      volatile unsigned sink = 0;
      while (spin.load(std::memory_order_relaxed)) sink = sink + 1;
    });
  double late = 0;
  for (auto _ : state) {
    QElapsedTimer since;
    play->click();
    since.start();
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
      if (play->text() == idle) app.exit();
    });
    watch.start(1);
    app.exec();
    late = static_cast<double>(since.elapsed()) - kFrames * kFrameMs;
  }
  spin = false;
  for (std::thread& thread : busy) thread.join();
  state.counters["late_ms"] = late;
  QDir::setCurrent(QDir::tempPath());
}
BENCHMARK(BM_PreviewWindowTenSecondsBothCoresBusy)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
