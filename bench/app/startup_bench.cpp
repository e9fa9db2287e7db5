// Start-up of the editor to the shown window, with a resume file whose 20
// areas are all full (model VQ-M14: 360 channels x 4000 frames lit in every
// area) and a Config.ini selecting that model, in a scratch directory.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <memory>
#include <stdexcept>

#include "Mianc.h"
#include "files/pattern_files.h"
#include "model/model_selection.h"

namespace {

constexpr int kModel = 14;  // VQ-M14

QApplication& App() {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "startup_bench";
  static char* argv[] = {name, nullptr};
  static QApplication app(argc, argv);
  return app;
}

// Writes Config.ini and a tempRGB.bin of 20 full areas into dir.
void WriteStartFiles(const QTemporaryDir& dir) {
  auto store = std::make_unique<vqled::PatternStore>();
  auto image = std::make_unique<vqled::ImageBuffer>();
  vqled::ModelProfile profile;
  vqled::ApplyModelProfile(profile, *store, kModel);
  vqled::LayoutGrid(*store, profile, profile.channelsPerController);
  for (int area = 0; area < vqled::kAreaCount; ++area) {
    for (int row = 3; row < 3 + profile.channelsPerController; ++row) {
      for (int column = 2; column < store->gridColumnCount; ++column) {
        store->Cell(area, row, column) = (row + column) % 255 + 1;
      }
    }
  }
  const vqled::HeaderControls controls;
  const vqled::Outcome saved = vqled::SaveResumeFile(
      *store, {profile, controls, *image}, dir.filePath("tempRGB.bin").toStdString(), nullptr);
  if (!saved.ok) throw std::runtime_error(saved.message.en);
  QFile config(dir.filePath("Config.ini"));
  if (!config.open(QIODevice::WriteOnly)) throw std::runtime_error("cannot write Config.ini");
  config.write("[Config]\nHYTYPE=14\n");
}

void BM_StartToShownWindow(benchmark::State& state) {
  App();
  QTemporaryDir dir;
  WriteStartFiles(dir);
  const QString previous = QDir::currentPath();
  QDir::setCurrent(dir.path());
  state.counters["resumeFileMB"] = QFileInfo(dir.filePath("tempRGB.bin")).size() / 1e6;
  std::unique_ptr<vqled::TForm2> form;
  for (auto _ : state) {
    state.PauseTiming();  // tearing the last window down is not part of the start
    form.reset();
    state.ResumeTiming();
    form = std::make_unique<vqled::TForm2>();
    form->show();
    QCoreApplication::processEvents();
    benchmark::DoNotOptimize(form->document().store().Cell(19, 3, 2));
  }
  form.reset();
  QDir::setCurrent(previous);
}
BENCHMARK(BM_StartToShownWindow)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
