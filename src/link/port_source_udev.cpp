// The system's source: libudev's tty devices and its hot-plug monitor.
#include <libudev.h>
#include <unistd.h>

#include <algorithm>
#include <stdexcept>
#include <string_view>

#include "link/port_source.h"
#include "link/serial_ports.h"

namespace vqled {
namespace {

// udev's monitor wakes the watcher at once; the rescan is the fallback
// where no udev daemon sends events (a container), still inside 2 s.
constexpr int kSystemRescanMs = 1000;
constexpr std::string_view kByIdFolder = "/dev/serial/by-id/";

struct UdevDeleter {
  void operator()(udev* u) const { udev_unref(u); }
  void operator()(udev_monitor* m) const { udev_monitor_unref(m); }
  void operator()(udev_enumerate* e) const { udev_enumerate_unref(e); }
  void operator()(udev_device* d) const { udev_device_unref(d); }
};
template <typename T>
using UdevPtr = std::unique_ptr<T, UdevDeleter>;

std::string Text(const char* value) {
  return value != nullptr ? value : "";
}

// The /dev/serial/by-id name among a device's links, which udev lists
// separated by blanks.
std::string ByIdLink(std::string_view links) {
  while (!links.empty()) {
    const size_t end = std::min(links.find(' '), links.size());
    if (links.substr(0, kByIdFolder.size()) == kByIdFolder)
      return std::string(links.substr(0, end));
    links.remove_prefix(std::min(end + 1, links.size()));
  }
  return "";
}

struct Listed {
  std::string kernelName;
  PortRecord port;
};

class SystemPortSource : public PortSource {
 public:
  SystemPortSource() : udev_(udev_new()) {
    if (!udev_) throw std::runtime_error("libudev cannot be used (udev_new failed)");
  }

  std::vector<PortRecord> List() override {
    std::vector<Listed> found;
    UdevPtr<udev_enumerate> scan(udev_enumerate_new(udev_.get()));
    if (!scan || udev_enumerate_add_match_subsystem(scan.get(), "tty") < 0 ||
        udev_enumerate_scan_devices(scan.get()) < 0)
      return {};
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(scan.get())) {
      UdevPtr<udev_device> device(
          udev_device_new_from_syspath(udev_.get(), udev_list_entry_get_name(entry)));
      if (!device) continue;
      std::string name = Text(udev_device_get_sysname(device.get()));
      const std::string node = Text(udev_device_get_devnode(device.get()));
      if (node.empty() || ::access(node.c_str(), F_OK) != 0 || !IsListedSerialName({}, name))
        continue;
      found.push_back({std::move(name), Record(device.get(), node)});
    }
    std::sort(found.begin(), found.end(), [](const Listed& a, const Listed& b) {
      return SerialNameBefore(a.kernelName, b.kernelName);
    });
    std::vector<PortRecord> ports;
    for (Listed& listed : found) ports.push_back(std::move(listed.port));
    return ports;
  }

  int WatchFd() const override { return monitor_ ? udev_monitor_get_fd(monitor_.get()) : -1; }
  int RescanMs() const override { return kSystemRescanMs; }

 protected:
  // Events after udev made the device's links; without a monitor (netlink
  // refused) the source rescans only.
  void BeginWatch() override {
    if (monitor_) return;
    UdevPtr<udev_monitor> monitor(udev_monitor_new_from_netlink(udev_.get(), "udev"));
    if (monitor &&
        udev_monitor_filter_add_match_subsystem_devtype(monitor.get(), "tty", nullptr) >= 0 &&
        udev_monitor_enable_receiving(monitor.get()) >= 0)
      monitor_ = std::move(monitor);
  }

  void DrainWatch() override {
    if (!monitor_) return;
    while (UdevPtr<udev_device>(udev_monitor_receive_device(monitor_.get()))) {
    }
  }

 private:
  static PortRecord Record(udev_device* device, const std::string& node) {
    const SerialDeviceFacts facts = DescribeSerialDevice({}, Text(udev_device_get_sysname(device)));
    std::string serial = facts.serialNumber;
    if (serial.empty()) serial = Text(udev_device_get_property_value(device, "ID_SERIAL_SHORT"));
    return {node, ByIdLink(Text(udev_device_get_property_value(device, "DEVLINKS"))), facts.usbId,
            std::move(serial), facts.description};
  }

  UdevPtr<udev> udev_;
  UdevPtr<udev_monitor> monitor_;
};

}  // namespace

std::unique_ptr<PortSource> MakeSystemPortSource() {
  return std::make_unique<SystemPortSource>();
}

}  // namespace vqled
