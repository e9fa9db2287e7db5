// Repaints of the grid through the core cell painter, rendered offscreen:
// a full 1920 x 1080 viewport whose frame cells are all lit, a full
// 3840 x 2160 viewport at 50% zoom, and the repaint after one cell changed.
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

// A grid over an area whose frame cells are lit wherever the view reaches.
struct LitGrid {
  QApplication& app = Application();  // before the widget
  std::unique_ptr<vqled::PatternStore> store = std::make_unique<vqled::PatternStore>();
  vqled::ModelProfile profile;
  int textVariant = 1;
  vqled::StringGrid grid;

  LitGrid(int valueKind, QSize view, int zoom) {
    vqled::ResetArea(*store, 0);
    for (int row = 3; row < 400; ++row)
      for (int column = 2; column < 400; ++column)
        store->Cell(0, row, column) = (row * 7 + column * 13) % 255 + 1;
    profile.valueKind = valueKind;
    grid.setDefaultColumnWidth(25);
    grid.setDefaultRowHeight(15);
    grid.setRowCount(1021 + 3);
    grid.setColumnCount(4002);
    grid.setColumnWidth(0, 60);
    grid.setColumnWidth(1, 5);
    grid.UseCorePainter(*store, profile, textVariant);
    grid.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid.resize(view + QSize(2, 2) * grid.frameWidth());
    grid.setZoom(zoom);
  }
};

void PaintFullViewport(benchmark::State& state, int valueKind, QSize view, int zoom) {
  LitGrid lit(valueKind, view, zoom);
  QImage image(lit.grid.viewport()->size(), QImage::Format_RGB32);
  for (auto _ : state) {
    lit.grid.viewport()->render(&image);
    benchmark::DoNotOptimize(image.constBits());
  }
}

void BM_GridRepaintByteValues(benchmark::State& state) {
  PaintFullViewport(state, vqled::VALUE_KIND_BYTE, QSize(1920, 1080), 100);
}
BENCHMARK(BM_GridRepaintByteValues)->Unit(benchmark::kMillisecond);

void BM_GridRepaintOnOffValues(benchmark::State& state) {
  PaintFullViewport(state, vqled::VALUE_KIND_BIT, QSize(1920, 1080), 100);
}
BENCHMARK(BM_GridRepaintOnOffValues)->Unit(benchmark::kMillisecond);

void BM_GridRepaint4KAtHalfZoom(benchmark::State& state) {
  PaintFullViewport(state, vqled::VALUE_KIND_BYTE, QSize(3840, 2160), 50);
}
BENCHMARK(BM_GridRepaint4KAtHalfZoom)->Unit(benchmark::kMillisecond);

// One cell changes, the grid is told, and the shown window repaints what
// the grid asked for.
void BM_GridRepaintAfterEditingOneCell(benchmark::State& state) {
  LitGrid lit(vqled::VALUE_KIND_BYTE, QSize(1920, 1080), 100);
  lit.grid.show();
  QApplication::processEvents();
  int32_t& cell = lit.store->Cell(0, 20, 20);
  for (auto _ : state) {
    cell = cell % 255 + 1;
    lit.grid.invalidate();
    QApplication::processEvents();
  }
}
BENCHMARK(BM_GridRepaintAfterEditingOneCell)->Unit(benchmark::kMicrosecond);

// The same with the whole view repainted, as before changes were compared.
void BM_GridRepaintWholeViewAfterAnEdit(benchmark::State& state) {
  LitGrid lit(vqled::VALUE_KIND_BYTE, QSize(1920, 1080), 100);
  lit.grid.show();
  QApplication::processEvents();
  int32_t& cell = lit.store->Cell(0, 20, 20);
  for (auto _ : state) {
    cell = cell % 255 + 1;
    lit.grid.viewport()->update();
    QApplication::processEvents();
  }
}
BENCHMARK(BM_GridRepaintWholeViewAfterAnEdit)->Unit(benchmark::kMicrosecond);

}  // namespace
