// The serial port's write path over a pseudo-terminal: handing a frame to
// Write and the peer taking it whole, for the largest data frame and for a
// command frame.
#include <benchmark/benchmark.h>

#include "link/serial_comm.h"
#include "serial_pty.h"

namespace {

void BM_WriteFrameToPeer(benchmark::State& state) {
  vqled::test::Pty pty;
  vqled::SerialComm port;
  port.OpenDevice(pty.SlavePath());
  const std::vector<uint8_t> frame = vqled::test::Sequence(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    port.Write(frame.data(), static_cast<int>(frame.size()));
    benchmark::DoNotOptimize(pty.Receive(frame.size(), 1000));
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_WriteFrameToPeer)->Arg(5)->Arg(2050)->Unit(benchmark::kMicrosecond);

// The Write call alone: the caller's cost of a frame the port queues.
void BM_WriteCall(benchmark::State& state) {
  vqled::test::Pty pty;
  vqled::SerialComm port;
  port.OpenDevice(pty.SlavePath());
  const std::vector<uint8_t> frame = vqled::test::Sequence(2050);
  for (auto _ : state) {
    port.Write(frame.data(), static_cast<int>(frame.size()));
    state.PauseTiming();
    pty.Receive(frame.size(), 1000);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_WriteCall)->Unit(benchmark::kMicrosecond);

}  // namespace
