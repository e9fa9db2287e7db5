// Pictures and preview timing: the animated GIF and the PNG strip of a full
// VQ-M14 area (360 channels, 500 frames of a running light), and one run of
// the preview clock on the real monotonic clock, polled as a repainting
// window would, reporting how far past its 2.000 s the area was seen to end.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "model/pattern_store.h"
#include "ui/area_render.h"
#include "ui/preview_clock.h"

namespace {

constexpr int kChannels = 360;
constexpr int kFrames = 500;

struct RunningLight {
  std::unique_ptr<vqled::PatternStore> store = std::make_unique<vqled::PatternStore>();
  RunningLight() {
    vqled::ResetArea(*store, 0);
    for (int f = 0; f < kFrames; ++f) {
      const int column = f + vqled::kFirstFrameColumn;
      store->frameTime[0].timeType[column] = vqled::FRAME_TIME_MS;
      store->frameTime[0].timeValue[column] = 40 + f % 7;
      for (int k = 0; k < 8; ++k)
        store->Cell(0, (f + k) % kChannels + vqled::kHeaderRows, column) = 255 - 30 * k;
    }
  }
  vqled::AreaPicture Picture() const { return {0, kChannels, kFrames, vqled::kEndlessPlays, 2}; }
};

void BM_RenderGif(benchmark::State& state) {
  RunningLight area;
  std::vector<uint8_t> gif;
  for (auto _ : state) {
    vqled::RenderAreaGif(*area.store, area.Picture(), gif);
    benchmark::DoNotOptimize(gif.data());
  }
  state.counters["bytes"] = static_cast<double>(gif.size());
}
BENCHMARK(BM_RenderGif)->Unit(benchmark::kMillisecond);

void BM_RenderPngStrip(benchmark::State& state) {
  RunningLight area;
  std::vector<uint8_t> png;
  for (auto _ : state) {
    vqled::RenderAreaPngStrip(*area.store, area.Picture(), png);
    benchmark::DoNotOptimize(png.data());
  }
  state.counters["bytes"] = static_cast<double>(png.size());
}
BENCHMARK(BM_RenderPngStrip)->Unit(benchmark::kMillisecond);

// 50 frames of 40 ms: the clock is polled every 16 ms, as a window repaints;
// late_ms is the real time from the start to the first poll that saw the end,
// less the area's 2000 ms (at most one poll interval when nothing stretches).
void BM_PreviewRealClock(benchmark::State& state) {
  auto timeline = std::make_unique<vqled::PreviewTimeline>();
  for (int f = 0; f < 50; ++f) timeline->endMs[f] = 40 * (f + 1);
  timeline->frameCount = 50;
  double late = 0;
  for (auto _ : state) {
    vqled::PreviewClock clock(*timeline, vqled::SteadyNowMs);
    clock.SetPlays(1);
    const auto start = std::chrono::steady_clock::now();
    clock.Play();
    while (!clock.Ended()) {
      benchmark::DoNotOptimize(clock.Frame());
      std::this_thread::sleep_for(std::chrono::milliseconds(16));
    }
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    late = took.count() - 2000;
  }
  state.counters["late_ms"] = late;
}
BENCHMARK(BM_PreviewRealClock)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
