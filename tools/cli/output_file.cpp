#include "output_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "command.h"
#include "files/file_io.h"

namespace vqled::cli {

int WriteOutput(const std::string& path, const void* data, size_t size) {
  if (path.empty()) {
    if (std::fwrite(data, 1, size, stdout) != size || std::fflush(stdout) != 0) {
      std::fprintf(stderr, "%s\n", WriteFailure("stdout", std::strerror(errno)).en.c_str());
      return kExitFailure;
    }
    return kExitOk;
  }
  SafeFileWriter file(path);
  Outcome written = file.Open();
  if (written.ok) {
    file.Write(data, size);
    written = file.Commit();
  }
  if (written.ok) return kExitOk;
  std::fprintf(stderr, "%s\n", written.message.en.c_str());
  return kExitFailure;
}

}  // namespace vqled::cli
