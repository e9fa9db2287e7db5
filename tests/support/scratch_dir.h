// A directory of the test's own below the system's temporary directory
// ($TMPDIR or /tmp), made with a unique name and removed with everything in
// it when the test ends, so that tests running side by side (ctest -j) never
// share a file.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

namespace vqled::test {

class ScratchDir {
 public:
  // tag names the directory ("vqled-<tag>-XXXXXX") so that one left behind
  // by a crashed test says whose it was.
  explicit ScratchDir(std::string_view tag = "test") {
    std::string pattern =
        (std::filesystem::temp_directory_path() / ("vqled-" + std::string(tag) + "-XXXXXX"))
            .string();
    if (::mkdtemp(pattern.data()) == nullptr)
      throw std::runtime_error("cannot make a scratch directory from " + pattern);
    path_ = pattern;
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The path of name inside the directory.
  std::string File(std::string_view name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// A scratch directory that is the current directory for as long as it lives,
// for code that writes beside the program (Config.ini, tempRGB.bin, send.bin).
class ScratchCurrentDir : public ScratchDir {
 public:
  explicit ScratchCurrentDir(std::string_view tag = "test")
      : ScratchDir(tag), previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(path());
  }
  ~ScratchCurrentDir() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
  }

 private:
  std::filesystem::path previous_;
};

}  // namespace vqled::test
