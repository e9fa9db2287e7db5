#include "files/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace vqled {
namespace {

std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The mode a newly created file gets, as open() with 0666 would give it.
mode_t NewFileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

Text ReadFailure(const std::string& path, const std::string& reason) {
  return {"无法读取文件 " + path + "：" + reason, "Cannot read the file " + path + ": " + reason};
}

Text TooLarge(const std::string& path) {
  const std::string limit = std::to_string(kMaxFileBytes);
  return {"文件 " + path + " 太大（超过 " + limit + " 字节）",
          "The file " + path + " is too large (more than " + limit + " bytes)"};
}

// Reads fd to its end, at most kMaxFileBytes; an empty text when all went well.
Text ReadAll(int fd, const std::string& path, std::vector<uint8_t>& bytes) {
  uint8_t chunk[65536];
  for (;;) {
    const ssize_t got = read(fd, chunk, sizeof chunk);
    if (got == 0) return {};
    if (got < 0) {
      if (errno == EINTR) continue;
      return ReadFailure(path, std::strerror(errno));
    }
    if (bytes.size() + static_cast<size_t>(got) > kMaxFileBytes) return TooLarge(path);
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
}

}  // namespace

Outcome ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, bool* missing) {
  bytes.clear();
  if (missing != nullptr) *missing = false;
  // Non-blocking, so that a FIFO without a writer cannot hold the open.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    if (errno == ENOENT && missing != nullptr) {
      *missing = true;
      return Outcome::Ok();
    }
    return Outcome::Fail(ReadFailure(path, std::strerror(errno)));
  }
  struct stat info {};
  Text refusal;
  if (fstat(fd, &info) != 0) {
    refusal = ReadFailure(path, std::strerror(errno));
  } else if (!S_ISREG(info.st_mode)) {
    refusal = {"无法读取 " + path + "：不是普通文件",
               "Cannot read " + path + ": not a regular file"};
  } else if (static_cast<uint64_t>(info.st_size) > kMaxFileBytes) {
    refusal = TooLarge(path);
  }
  if (refusal.empty()) {
    bytes.reserve(static_cast<size_t>(info.st_size));
    refusal = ReadAll(fd, path, bytes);
  }
  close(fd);
  if (refusal.empty()) return Outcome::Ok();
  bytes.clear();
  return Outcome::Fail(refusal);
}

Text WriteFailure(const std::string& path, const std::string& reason) {
  return {"无法写入文件 " + path + "：" + reason + "；原文件保持不变",
          "Cannot write the file " + path + ": " + reason + "; the file is left as it was"};
}

SafeFileWriter::SafeFileWriter(std::string path) : path_(std::move(path)) {}

SafeFileWriter::~SafeFileWriter() {
  if (fd_ >= 0) close(fd_);
  if (!tempPath_.empty()) unlink(tempPath_.c_str());
}

void SafeFileWriter::Fail(int error) {
  if (error_ == 0) error_ = error;
}

Outcome SafeFileWriter::Open() {
  // A link is followed, so the file it names is replaced and the link stays.
  target_ = path_;
  struct stat link {};
  if (lstat(path_.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
    if (char* real = realpath(path_.c_str(), nullptr); real != nullptr) {
      target_ = real;
      std::free(real);
    }
  }
  std::string pattern = DirectoryOf(target_) + "/.vqled-XXXXXX";
  fd_ = mkostemp(pattern.data(), O_CLOEXEC);
  if (fd_ < 0) return Outcome::Fail(WriteFailure(path_, std::strerror(errno)));
  tempPath_ = pattern;
  // Keep the mode of the file being replaced, or give a new file the usual one.
  struct stat old {};
  const mode_t mode = stat(target_.c_str(), &old) == 0 ? (old.st_mode & 07777) : NewFileMode();
  if (fchmod(fd_, mode) != 0) Fail(errno);
  return Outcome::Ok();
}

void SafeFileWriter::Write(const void* data, size_t size) {
  const auto* at = static_cast<const uint8_t*>(data);
  while (size > 0 && error_ == 0) {
    const ssize_t put = write(fd_, at, size);
    if (put < 0) {
      if (errno != EINTR) Fail(errno);
      continue;
    }
    at += put;
    size -= static_cast<size_t>(put);
  }
}

Outcome SafeFileWriter::Commit() {
  if (fd_ < 0) return Outcome::Fail(WriteFailure(path_, std::strerror(EBADF)));
  if (error_ == 0 && fsync(fd_) != 0) Fail(errno);
  if (close(fd_) != 0) Fail(errno);
  fd_ = -1;
  if (error_ == 0 && rename(tempPath_.c_str(), target_.c_str()) != 0) Fail(errno);
  if (error_ != 0) return Outcome::Fail(WriteFailure(path_, std::strerror(error_)));
  tempPath_.clear();
  // Make the rename itself durable.
  const int dir = open(DirectoryOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
  return Outcome::Ok();
}

}  // namespace vqled
