// The virtual LED controller: the controller's side of the serial protocol on
// a pseudo-terminal (or a tty it is given), for one chosen model. It answers
// probes, erases, data blocks, end of data, finish, clock, end-date, settings
// and controller-type frames as a controller does, checks the shape and length
// of every frame against the model, keeps every image it receives, logs every
// frame in hex and injects faults on request.
//
// Use:
//   SimOptions options;
//   options.profile = CatalogueProfile(28);    // VQ-M28 (model/model_catalogue.h)
//   SimController sim(options);
//   std::string device = sim.Start();         // "/dev/pts/7"; serving on its own thread
//   ... the host opens `device`, downloads, closes (and may reopen) ...
//   sim.WaitFor([](const SimStats& s) { return s.transactionsEnded >= 1; }, 5s);
//   std::optional<SimImage> image = sim.Image(0);   // bytes of area 1's blocks
//   sim.Stop();
//
// Every accessor is thread-safe and returns a copy. The line stays open while
// the host closes and reopens the port between transactions; only Stop(), a
// hang-up fault or an exit condition (exitAfter, idleExitMs) ends the serving.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "model/text.h"
#include "sim/controller_session.h"
#include "sim/frame_reader.h"
#include "sim/sim_line.h"

namespace vqled {

struct SimOptions {
  ModelProfile profile;      // the controller's model: valueKind, blockSize,
                             // longCommandFrames, areaCount, modelIndex
  SimReplies replies;        // which reply codes the controller uses
  SimFaults faults;          // injected faults (none by default)
  std::string tty;           // serve this tty instead of opening a pseudo-terminal
  int baud = 0;              // pace the line at this rate (10 bits a byte); 0 = no pacing
  int replyDelayMs = 0;      // extra delay before every reply
  std::string saveDir;       // write every stored image there (area-01.bin ...)
  std::string logPath;       // append the frame log to this file
  bool logToStderr = false;  // also write the frame log to stderr
  int logCapacity = 10000;   // entries kept in memory (oldest dropped first)
  int exitAfter = 0;         // stop serving after this many ended transactions (0: never)
  int idleExitMs = 0;        // stop serving after this long without a byte (0: never)
  int frameTimeoutMs = 250;  // a frame left unfinished this long is dropped as incomplete
};

// One line of the frame log.
enum SimLogDirection : uint8_t {
  LOG_FROM_HOST,  // a frame (or garbage) the host sent
  LOG_TO_HOST,    // a reply the controller sent
  LOG_NOTE        // what the controller made of it, errors, line events
};

struct SimLogEntry {
  double atMs = 0;  // since Start()
  SimLogDirection direction = LOG_NOTE;
  std::string text;  // hex bytes ("AA CC 02 7F 00 55") or the note
};

class SimController {
 public:
  explicit SimController(SimOptions options);
  ~SimController();  // Stop()
  SimController(const SimController&) = delete;
  SimController& operator=(const SimController&) = delete;

  // Opens the line (a new pseudo-terminal, or options.tty) and starts serving
  // on its own thread. Returns the device path the host is to open (the
  // pseudo-terminal's slave, or options.tty). Creates options.saveDir when
  // missing. Throws std::runtime_error naming the device, folder or log file
  // and the reason when one cannot be opened.
  std::string Start();
  // Stops serving and closes the line. Safe to call more than once; a stopped
  // controller does not start again.
  void Stop();
  // False once Stop(), a hang-up fault or an exit condition has ended serving.
  bool Running() const;

  const std::string& DevicePath() const { return devicePath_; }

  // The latest image of an area (0..19): the bytes of its data blocks between
  // the erase and the end of data, in order; complete once the end of data came.
  std::optional<SimImage> Image(int area) const;
  // The latest image of every area that has one, in area order.
  std::vector<SimImage> Images() const;
  // The settings image, clock, end date and controller type last received.
  SimReceived Received() const;
  std::vector<SimLogEntry> FrameLog() const;
  SimStats Stats() const;

  // Waits until the predicate holds for the counters, or the timeout passes,
  // or serving ends. Returns whether the predicate held.
  bool WaitFor(const std::function<bool(const SimStats&)>& predicate,
               std::chrono::milliseconds timeout) const;

  // Writes every stored image to dir as area-01.bin .. area-20.bin (area
  // index + 1) and the settings image as settings.bin.
  Outcome SaveImages(const std::string& dir) const;

 private:
  using Clock = std::chrono::steady_clock;

  void Serve();
  bool ExitDue(Clock::time_point now, Clock::time_point lastByteAt);
  void HostCame();
  void HostLeft();
  bool HandleBytes(const uint8_t* bytes, int count, Clock::time_point readAt);
  bool HandleEvent(const ReaderEvent& event, Clock::time_point arrivedAt);
  void Answer(const SimReply& reply, Clock::time_point arrivedAt);
  bool PaceUntil(Clock::time_point until);
  Clock::duration ByteTime() const;
  std::optional<SimImage> ImageOf(int area) const;
  void SaveStored(int area);
  void EndServing();
  void WriteLogLine(double atMs, SimLogDirection direction, const std::string& text);
  void Remember(double atMs, SimLogDirection direction, std::string text);
  void Log(SimLogDirection direction, const std::string& text);
  void LogBytes(SimLogDirection direction, const uint8_t* bytes, int count);
  void LogNote();

  SimOptions options_;
  std::string devicePath_;
  SimLine line_;
  FrameReader reader_;
  std::unique_ptr<ControllerSession> session_;  // large: its image buffers grow per area
  std::thread thread_;
  Clock::time_point startedAt_;
  Clock::time_point rxDoneAt_;  // when the bytes read so far have crossed the paced line
  Clock::time_point txDoneAt_;  // when the replies written so far have
  std::atomic<bool> stopRequested_{false};
  std::FILE* logFile_ = nullptr;

  mutable std::mutex mutex_;  // guards the session's results, the log and the counters
  mutable std::condition_variable changed_;
  std::vector<SimLogEntry> log_;
  size_t logStart_ = 0;  // ring start once the log is full
  bool running_ = false;
};

}  // namespace vqled
