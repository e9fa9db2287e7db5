// Whole-file reads and crash-safe writes of the tool's files. A writer puts
// its bytes into a temporary file beside the target and renames it over the
// target only once every byte is written and flushed, so a crash or a full
// disk never destroys the previous file. Where no temporary file can be made
// beside the target (a folder the user cannot write, holding a file the user
// can), the target is rewritten in place and flushed instead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/text.h"

namespace vqled {

// The largest file read: more than any the tool writes (20 images of at most
// 9,999,900 bytes each), so that a hostile path cannot exhaust memory.
constexpr size_t kMaxFileBytes = size_t{256} << 20;

// A temporary file of a save that nobody holds locked and that has not
// changed for this long was left behind by a save that was killed.
constexpr int kStaleTemporarySeconds = 60;

// Reads the whole regular file into bytes (a directory, device or FIFO is
// refused, as is a file above kMaxFileBytes). When missing is given, a file that does not
// exist sets it and is no failure.
Outcome ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes,
                      bool* missing = nullptr);

// The message of a failed write of path; reason is the system's explanation.
Text WriteFailure(const std::string& path, const std::string& reason);

// Keeps bytes in a new file beside path, named path + ".refused-" and the
// local date and time (YYYYMMDD-HHMMSS, with "-2", "-3" ... added when that
// name is taken); the name made goes to kept. Never replaces a file.
Outcome KeepCopy(const std::string& path, const uint8_t* data, size_t size, std::string& kept);

// Removes the temporary files that killed saves of target left in its
// folder: those named as a save of target names them, and the ".vqled-XXXXXX"
// files of earlier versions. A file a running save holds locked, or that
// changed within kStaleTemporarySeconds, is left alone.
void RemoveStaleTemporaryFiles(const std::string& target);

// Test seam: while error is not 0, making the temporary file of a save fails
// with that error, as it does in a folder the user cannot write.
void FailTemporaryFilesForTesting(int error);

class SafeFileWriter {
 public:
  explicit SafeFileWriter(std::string path);
  ~SafeFileWriter();  // removes the temporary file unless committed
  SafeFileWriter(const SafeFileWriter&) = delete;
  SafeFileWriter& operator=(const SafeFileWriter&) = delete;

  // Removes stale temporary files of the target and creates a new one,
  // locked while this save runs; when none can be made, opens the target to
  // be rewritten in place at Commit.
  Outcome Open();
  // Appends bytes; a failure is remembered and reported by Commit.
  void Write(const void* data, size_t size);
  // Flushes the temporary file to disk and renames it over the target, or
  // writes the target in place and flushes it.
  Outcome Commit();

 private:
  void Fail(int error);
  Outcome OpenInPlace();
  void CommitInPlace();

  std::string path_;    // as the caller named it, for messages
  std::string target_;  // the file replaced: path_, or the file a link at path_ names
  std::string tempPath_;
  int fd_ = -1;
  int error_ = 0;
  bool inPlace_ = false;
  std::vector<uint8_t> held_;  // in place: every byte, written only at Commit
};

}  // namespace vqled
