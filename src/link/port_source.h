// Where the serial ports come from, and how the system learns that an adapter
// was plugged in or pulled out. The system's source asks libudev; a folder
// source reads a folder of device links (as /dev/serial/by-id), so that a
// folder of links to pseudo-terminals plays plug and unplug.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace vqled {

// One serial port as a source knows it; fields it does not know stay empty.
struct PortRecord {
  std::string device;        // the device node, "/dev/ttyUSB0"
  std::string byId;          // its stable name, "/dev/serial/by-id/usb-..."
  std::string usbId;         // USB vendor:product, "1a86:7523"
  std::string serialNumber;  // the adapter's USB serial number
  std::string description;   // what the system says the device is

  friend bool operator==(const PortRecord&, const PortRecord&) = default;
};

struct PortChange {
  bool added;  // true: the port appeared; false: it went
  PortRecord port;
};

class PortSource {
 public:
  virtual ~PortSource();

  // The ports present now, in the order the port list shows them.
  virtual std::vector<PortRecord> List() = 0;

  // Starts watching and returns the ports present now; later changes are
  // told relative to this list.
  std::vector<PortRecord> StartWatch();

  // Waits at most timeoutMs for ports to appear or go and returns what
  // changed since the last call (the removals first); empty when nothing
  // did. Lists the ports again only when the watch tells of a change or
  // RescanMs passed since the last listing, so a poll loop may call it
  // often. StartWatch must have been called.
  std::vector<PortChange> WaitChanges(int timeoutMs);

  // A descriptor that turns readable when a change may wait, for a poll
  // loop or a socket notifier; -1 when the source only rescans. A caller
  // that waits on it still calls WaitChanges(0) at least every RescanMs().
  virtual int WatchFd() const = 0;
  // The longest time between rescans while watching.
  virtual int RescanMs() const = 0;

 protected:
  // Sets up the notifications behind WatchFd.
  virtual void BeginWatch() = 0;
  // Consumes the notifications that wait on WatchFd, without blocking.
  virtual void DrainWatch() = 0;

 private:
  std::vector<PortRecord> known_;
  std::chrono::steady_clock::time_point lastScan_;
};

// The ports and hot-plug events of this system through libudev: every tty
// the system's port list shows, with its /dev/serial/by-id name, USB ids and
// serial number. Throws std::runtime_error naming the reason when libudev
// cannot be used.
std::unique_ptr<PortSource> MakeSystemPortSource();

// The device links in folder (one port per link whose target is a character
// device; dangling links and other files are skipped), watched by inotify
// and rescanned every RescanMs so that a link whose target vanished, or a
// folder that appears later, is noticed too.
std::unique_ptr<PortSource> MakeFolderPortSource(const std::string& folder);

// The changes that turn the list before into the list after: removals, then
// additions, each in list order. A port whose record changed is removed and
// added again.
std::vector<PortChange> DiffPorts(const std::vector<PortRecord>& before,
                                  const std::vector<PortRecord>& after);

}  // namespace vqled
