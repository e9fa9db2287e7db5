// vqled-sim: a virtual LED controller on a pseudo-terminal. Prints the device
// the host is to open on stdout (one line), then serves it until SIGINT or
// SIGTERM, a hang-up fault, or an exit option ends it.
#include <signal.h>

#include <cstdio>
#include <ctime>
#include <exception>

#include "sim/sim_options.h"
#include "vqled_version.h"

namespace {

constexpr long kSignalPollNs = 100 * 1000 * 1000;

void QueueStopSignal(int) {}

void PrintSummary(const vqled::SimStats& stats) {
  std::fprintf(stderr,
               "vqled-sim: %d frames, %d bad, %d errors, %d images stored, %d transactions "
               "ended%s\n",
               stats.frames, stats.badFrames, stats.errors, stats.imagesStored,
               stats.transactionsEnded, stats.hungUp ? ", line hung up" : "");
}

}  // namespace

int main(int argc, char** argv) {
  if (vqled::PrintVersionIfAsked("vqled-sim", argc, argv)) return 0;
  vqled::SimOptions options;
  bool showHelp = false;
  const vqled::Outcome parsed = vqled::ParseSimOptions(argc, argv, options, showHelp);
  if (showHelp) {
    std::fputs(vqled::SimUsage(), stdout);
    return 0;
  }
  if (!parsed.ok) {
    std::fprintf(stderr, "vqled-sim: %s\n%s", parsed.message.en.c_str(), vqled::SimUsage());
    return 2;
  }
  // The serving thread inherits the blocked signals; this thread takes them.
  // A shell starts background jobs with SIGINT ignored: give both a handler,
  // so that they are queued for sigtimedwait rather than dropped.
  struct sigaction action = {};
  action.sa_handler = QueueStopSignal;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  vqled::SimController sim(options);
  try {
    std::printf("%s\n", sim.Start().c_str());
    std::fflush(stdout);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "vqled-sim: %s\n", error.what());
    return 1;
  }
  const timespec poll = {0, kSignalPollNs};
  while (sim.Running()) {
    if (sigtimedwait(&stopSignals, nullptr, &poll) > 0) break;
  }
  sim.Stop();
  PrintSummary(sim.Stats());
  if (!options.saveDir.empty()) {
    const vqled::Outcome saved = sim.SaveImages(options.saveDir);
    if (!saved.ok) {
      std::fprintf(stderr, "vqled-sim: %s\n", saved.message.en.c_str());
      return 1;
    }
  }
  return 0;
}
