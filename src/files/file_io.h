// Whole-file reads and crash-safe writes of the tool's files. A writer puts
// its bytes into a temporary file beside the target and renames it over the
// target only once every byte is written and flushed, so a crash or a full
// disk never destroys the previous file.
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

// Reads the whole regular file into bytes (a directory, device or FIFO is
// refused, as is a file above kMaxFileBytes). When missing is given, a file that does not
// exist sets it and is no failure.
Outcome ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes,
                      bool* missing = nullptr);

// The message of a failed write of path; reason is the system's explanation.
Text WriteFailure(const std::string& path, const std::string& reason);

class SafeFileWriter {
 public:
  explicit SafeFileWriter(std::string path);
  ~SafeFileWriter();  // removes the temporary file unless committed
  SafeFileWriter(const SafeFileWriter&) = delete;
  SafeFileWriter& operator=(const SafeFileWriter&) = delete;

  // Creates the temporary file in the target's directory.
  Outcome Open();
  // Appends bytes; a failure is remembered and reported by Commit.
  void Write(const void* data, size_t size);
  // Flushes the temporary file to disk and renames it over the target.
  Outcome Commit();

 private:
  void Fail(int error);

  std::string path_;    // as the caller named it, for messages
  std::string target_;  // the file replaced: path_, or the file a link at path_ names
  std::string tempPath_;
  int fd_ = -1;
  int error_ = 0;
};

}  // namespace vqled
