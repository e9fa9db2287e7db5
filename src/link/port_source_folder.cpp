// The folder source: the links of a folder such as /dev/serial/by-id.
#include <fcntl.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "link/port_source.h"
#include "link/serial_ports.h"

namespace vqled {
namespace {

namespace fs = std::filesystem;

// Short enough that a pulled adapter shows within a second even where no
// inotify event tells of it (its link's target went, not the link).
constexpr int kFolderRescanMs = 250;

class FolderPortSource : public PortSource {
 public:
  explicit FolderPortSource(std::string folder) : folder_(std::move(folder)) {}
  ~FolderPortSource() override {
    if (inotify_ >= 0) ::close(inotify_);
  }

  std::vector<PortRecord> List() override {
    std::vector<fs::path> links;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder_, ec)) links.push_back(entry.path());
    std::sort(links.begin(), links.end());
    std::vector<PortRecord> ports;
    for (const fs::path& link : links) {
      std::error_code broken;
      const fs::path target = fs::canonical(link, broken);
      if (broken || !fs::is_character_file(target, broken)) continue;
      const SerialDeviceFacts facts = DescribeSerialDevice({}, target.filename().string());
      ports.push_back(
          {target.string(), link.string(), facts.usbId, facts.serialNumber, facts.description});
    }
    return ports;
  }

  int WatchFd() const override { return inotify_; }
  int RescanMs() const override { return kFolderRescanMs; }

 protected:
  void BeginWatch() override {
    if (inotify_ < 0) inotify_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    AddWatch();
  }

  void DrainWatch() override {
    alignas(inotify_event) char buffer[4096];
    ssize_t got = 0;
    while (inotify_ >= 0 && (got = ::read(inotify_, buffer, sizeof buffer)) > 0) {
      // The kernel drops the watch of a folder that was removed.
      for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= got;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        if (event->mask & IN_IGNORED) watching_ = false;
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
    AddWatch();
  }

 private:
  // Watches the folder once it exists; a folder removed and made again
  // (the system's by-id folder goes with its last adapter) is watched anew.
  void AddWatch() {
    if (inotify_ < 0 || watching_) return;
    constexpr uint32_t kEvents =
        IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_ONLYDIR;
    watching_ = ::inotify_add_watch(inotify_, folder_.c_str(), kEvents) >= 0;
  }

  std::string folder_;
  int inotify_ = -1;
  bool watching_ = false;
};

}  // namespace

std::unique_ptr<PortSource> MakeFolderPortSource(const std::string& folder) {
  return std::make_unique<FolderPortSource>(folder);
}

}  // namespace vqled
