// A full repaint of a 1920 x 1080 grid viewport whose frame cells are all
// lit, rendered offscreen into an image through the core cell painter.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <memory>

#include "model/model_profile.h"
#include "model/pattern_store.h"
#include "string_grid.h"

namespace {

QApplication& Application() {
  static int argc = 1;
  static char name[] = "grid_paint_bench";
  static char* argv[] = {name, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication app(argc, argv);
  return app;
}

void PaintFullViewport(benchmark::State& state, int valueKind) {
  Application();
  auto store = std::make_unique<vqled::PatternStore>();
  vqled::ResetArea(*store, 0);
  for (int row = 3; row < 100; ++row)
    for (int column = 2; column < 200; ++column)
      store->Cell(0, row, column) = (row * 7 + column * 13) % 255 + 1;
  vqled::ModelProfile profile;
  profile.valueKind = valueKind;
  const int textVariant = 1;
  vqled::StringGrid grid;
  grid.setDefaultColumnWidth(25);
  grid.setDefaultRowHeight(15);
  grid.setRowCount(1021 + 3);
  grid.setColumnCount(4002);
  grid.setColumnWidth(0, 60);
  grid.setColumnWidth(1, 5);
  grid.UseCorePainter(*store, profile, textVariant);
  grid.resize(1920 + 2 * grid.frameWidth(), 1080 + 2 * grid.frameWidth());
  grid.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  QImage image(grid.viewport()->size(), QImage::Format_RGB32);
  for (auto _ : state) {
    grid.viewport()->render(&image);
    benchmark::DoNotOptimize(image.constBits());
  }
  state.counters["cells"] = static_cast<double>((1920 / 26 + 1) * (1080 / 16 + 1));
}

void BM_GridRepaintByteValues(benchmark::State& state) {
  PaintFullViewport(state, vqled::VALUE_KIND_BYTE);
}
BENCHMARK(BM_GridRepaintByteValues)->Unit(benchmark::kMillisecond);

void BM_GridRepaintOnOffValues(benchmark::State& state) {
  PaintFullViewport(state, vqled::VALUE_KIND_BIT);
}
BENCHMARK(BM_GridRepaintOnOffValues)->Unit(benchmark::kMillisecond);

}  // namespace
