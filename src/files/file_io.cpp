#include "files/file_io.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <utility>

namespace vqled {
namespace {

int injectedTemporaryError = 0;  // FailTemporaryFilesForTesting

// What every temporary file name ends with: mkostemp's six letters or digits.
constexpr char kTemporaryTail[] = "XXXXXX";
constexpr size_t kTemporaryTailLength = sizeof kTemporaryTail - 1;
// The whole name of a temporary file of earlier versions: ".vqled-XXXXXX".
constexpr char kLegacyTemporaryPrefix[] = ".vqled-";
// A target's name is cut to this length inside its temporary file's name, so
// that the name stays within the 255 bytes a folder entry may have.
constexpr size_t kTargetNameInTemporary = 200;

std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a save of path replaces: the file a link at path names, or path.
std::string ResolveTarget(const std::string& path) {
  struct stat link {};
  if (lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return path;
  char* real = realpath(path.c_str(), nullptr);
  if (real == nullptr) return path;
  std::string resolved = real;
  std::free(real);
  return resolved;
}

// ".tempRGB.bin.vqled-": how the temporary files of a save of target begin.
std::string TemporaryPrefix(const std::string& target) {
  return "." + BaseNameOf(target).substr(0, kTargetNameInTemporary) + ".vqled-";
}

bool IsTemporaryName(const char* name, const std::string& prefix) {
  const size_t length = std::strlen(name);
  if (length != prefix.size() + kTemporaryTailLength) return false;
  if (prefix.compare(0, prefix.size(), name, prefix.size()) != 0) return false;
  for (size_t i = prefix.size(); i < length; ++i) {
    if (!std::isalnum(static_cast<unsigned char>(name[i]))) return false;
  }
  return true;
}

// Removes the regular file name in folder when no save holds it locked and
// it has not changed for kStaleTemporarySeconds.
void RemoveIfStale(int folder, const char* name) {
  const int fd = openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return;
  struct stat info {};
  struct stat now {};
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
      std::time(nullptr) - info.st_mtime >= kStaleTemporarySeconds &&
      flock(fd, LOCK_EX | LOCK_NB) == 0 && fstatat(folder, name, &now, AT_SYMLINK_NOFOLLOW) == 0 &&
      now.st_ino == info.st_ino && now.st_dev == info.st_dev) {
    unlinkat(folder, name, 0);
  }
  close(fd);
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

namespace {

// "20250131-235959": the local date and time a kept copy is named after.
std::string DateTimeStamp() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  return stamp;
}

// Writes all bytes to fd; the error, or 0.
int WriteAll(int fd, const uint8_t* data, size_t size) {
  while (size > 0) {
    const ssize_t put = write(fd, data, size);
    if (put < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data += put;
    size -= static_cast<size_t>(put);
  }
  return 0;
}

}  // namespace

Outcome KeepCopy(const std::string& path, const uint8_t* data, size_t size, std::string& kept) {
  constexpr int kNameTries = 100;
  const std::string stem = path + ".refused-" + DateTimeStamp();
  int fd = -1;
  for (int n = 1; n <= kNameTries && fd < 0; ++n) {
    kept = n == 1 ? stem : stem + "-" + std::to_string(n);
    fd = open(kept.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  int error = fd < 0 ? errno : WriteAll(fd, data, size);
  if (fd >= 0) {
    if (error == 0 && fsync(fd) != 0) error = errno;
    if (close(fd) != 0 && error == 0) error = errno;
    if (error != 0) unlink(kept.c_str());
  }
  if (error == 0) return Outcome::Ok();
  const std::string reason = std::strerror(error);
  kept.clear();
  return Outcome::Fail({"无法把 " + path + " 的内容另存为 " + stem + "：" + reason,
                        "The bytes of " + path + " could not be kept as " + stem + ": " + reason});
}

void RemoveStaleTemporaryFiles(const std::string& target) {
  const std::string resolved = ResolveTarget(target);
  const std::string prefix = TemporaryPrefix(resolved);
  DIR* folder = opendir(DirectoryOf(resolved).c_str());
  if (folder == nullptr) return;
  while (const dirent* entry = readdir(folder)) {
    if (IsTemporaryName(entry->d_name, prefix) ||
        IsTemporaryName(entry->d_name, kLegacyTemporaryPrefix)) {
      RemoveIfStale(dirfd(folder), entry->d_name);
    }
  }
  closedir(folder);
}

void FailTemporaryFilesForTesting(int error) {
  injectedTemporaryError = error;
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
  target_ = ResolveTarget(path_);
  RemoveStaleTemporaryFiles(target_);
  std::string pattern = DirectoryOf(target_) + "/" + TemporaryPrefix(target_) + kTemporaryTail;
  if (injectedTemporaryError != 0) {
    errno = injectedTemporaryError;
  } else {
    fd_ = mkostemp(pattern.data(), O_CLOEXEC);
  }
  if (fd_ < 0) {
    // Only a folder that takes no new file sends the save in place: on a full
    // disk or a broken folder an in-place rewrite could leave the target cut.
    if (errno == EACCES || errno == EPERM) return OpenInPlace();
    return Outcome::Fail(WriteFailure(path_, std::strerror(errno)));
  }
  tempPath_ = pattern;
  // The lock tells RemoveStaleTemporaryFiles of other saves that this one runs.
  flock(fd_, LOCK_EX | LOCK_NB);
  // Keep the mode of the file being replaced, or give a new file the usual one.
  struct stat old {};
  const mode_t mode = stat(target_.c_str(), &old) == 0 ? (old.st_mode & 07777) : NewFileMode();
  if (fchmod(fd_, mode) != 0) Fail(errno);
  return Outcome::Ok();
}

// No temporary file beside the target: the target itself is opened (created
// when missing) but not truncated, so that it keeps its bytes until Commit
// has every new one.
Outcome SafeFileWriter::OpenInPlace() {
  fd_ = open(target_.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd_ < 0) return Outcome::Fail(WriteFailure(path_, std::strerror(errno)));
  inPlace_ = true;
  return Outcome::Ok();
}

void SafeFileWriter::Write(const void* data, size_t size) {
  const auto* at = static_cast<const uint8_t*>(data);
  if (inPlace_) {
    held_.insert(held_.end(), at, at + size);
    return;
  }
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

void SafeFileWriter::CommitInPlace() {
  if (lseek(fd_, 0, SEEK_SET) != 0) return Fail(errno);
  if (const int error = WriteAll(fd_, held_.data(), held_.size()); error != 0) {
    return Fail(error);
  }
  if (ftruncate(fd_, static_cast<off_t>(held_.size())) != 0 || fsync(fd_) != 0) Fail(errno);
}

Outcome SafeFileWriter::Commit() {
  if (fd_ < 0) return Outcome::Fail(WriteFailure(path_, std::strerror(EBADF)));
  if (inPlace_) {
    CommitInPlace();
  } else {
    if (error_ == 0 && fsync(fd_) != 0) Fail(errno);
    // Renamed while still locked, so no other save takes it for a stale one.
    if (error_ == 0 && rename(tempPath_.c_str(), target_.c_str()) != 0) Fail(errno);
  }
  if (close(fd_) != 0) Fail(errno);
  fd_ = -1;
  if (error_ != 0) return Outcome::Fail(WriteFailure(path_, std::strerror(error_)));
  if (inPlace_) return Outcome::Ok();
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
