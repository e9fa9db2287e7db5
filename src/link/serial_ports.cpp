#include "link/serial_ports.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

namespace vqled {
namespace {

namespace fs = std::filesystem;

constexpr uint32_t kPortNumberLimit = kComPortMax + 1;

// The kernel groups of serial devices, in the order the list shows them.
constexpr std::string_view kUsbPrefix = "ttyUSB";
constexpr std::string_view kAcmPrefix = "ttyACM";
constexpr std::string_view kUartPrefix = "ttyS";
constexpr std::string_view kPrefixes[] = {kAcmPrefix, kUartPrefix, kUsbPrefix};

// The first line of a sysfs attribute, without trailing blanks; empty when
// it cannot be read.
std::string ReadAttribute(const fs::path& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.pop_back();
  return line;
}

// The number after the group prefix of a kernel name, or -1 when name is not
// prefix followed by digits only.
long KernelNumber(std::string_view name, std::string_view prefix) {
  if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) return -1;
  long number = 0;
  for (char c : name.substr(prefix.size())) {
    if (!std::isdigit(static_cast<unsigned char>(c)) || number > 1000000) return -1;
    number = number * 10 + (c - '0');
  }
  return number;
}

// The serial8250 driver registers ttyS placeholders for ports that are not
// fitted; their port type is 0 (PORT_UNKNOWN).
bool UartIsFitted(const SerialRoots& roots, const std::string& name, const fs::path& ttyDir) {
  std::error_code ec;
  if (!fs::exists(ttyDir / "device" / "driver", ec)) return false;
  const std::string type = ReadAttribute(ttyDir / "type");
  if (!type.empty()) return type != "0";
  const int fd =
      ::open((roots.dev + "/" + name).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  serial_struct info{};
  const bool fitted = ::ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
  ::close(fd);
  return fitted;
}

// The USB device a tty hangs off: the nearest directory above its device
// that carries idVendor; empty when the tty is not on USB.
fs::path UsbDeviceDir(const SerialRoots& roots, const fs::path& ttyDir) {
  std::error_code ec;
  const fs::path top = fs::weakly_canonical(roots.sys, ec);
  fs::path dir = fs::canonical(ttyDir / "device", ec);
  if (ec) return {};
  for (; !dir.empty() && dir != top && dir != dir.parent_path(); dir = dir.parent_path())
    if (fs::exists(dir / "idVendor", ec)) return dir;
  return {};
}

std::string UsbId(const fs::path& usb) {
  return ReadAttribute(usb / "idVendor") + ":" + ReadAttribute(usb / "idProduct");
}

std::string UsbDescription(std::string_view prefix, const fs::path& usb) {
  std::string text = ReadAttribute(usb / "manufacturer");
  const std::string product = ReadAttribute(usb / "product");
  if (!product.empty()) text += (text.empty() ? "" : " ") + product;
  if (text.empty()) text = prefix == kAcmPrefix ? "USB modem" : "USB serial";
  return text + " (" + UsbId(usb) + ")";
}

// The UART by the kernel's port type number, else the driver's name.
std::string UartDescription(const fs::path& ttyDir) {
  static constexpr std::string_view kUartNames[] = {"",       "8250",  "16450",   "16550", "16550A",
                                                    "Cirrus", "16650", "16650V2", "16750"};
  const std::string type = ReadAttribute(ttyDir / "type");
  for (size_t code = 1; code < std::size(kUartNames); ++code)
    if (type == std::to_string(code)) return "Serial port (" + std::string(kUartNames[code]) + ")";
  std::error_code ec;
  const fs::path driver = fs::read_symlink(ttyDir / "device" / "driver", ec);
  return ec ? "Serial port" : "Serial port (" + driver.filename().string() + ")";
}

SerialDeviceFacts Describe(const SerialRoots& roots, std::string_view prefix,
                           const fs::path& ttyDir) {
  const fs::path usb = UsbDeviceDir(roots, ttyDir);
  if (!usb.empty()) return {UsbDescription(prefix, usb), UsbId(usb), ReadAttribute(usb / "serial")};
  if (prefix == kUartPrefix) return {UartDescription(ttyDir), "", ""};
  return {prefix == kAcmPrefix ? "USB modem" : "USB serial", "", ""};
}

// The kernel group of name and its number in it; false for a name of no group.
bool KernelGroup(std::string_view name, size_t* group, long* number) {
  for (size_t g = 0; g < std::size(kPrefixes); ++g) {
    *number = KernelNumber(name, kPrefixes[g]);
    if (*number < 0) continue;
    *group = g;
    return true;
  }
  return false;
}

fs::path TtyClassDir(const SerialRoots& roots, const std::string& name) {
  return fs::path(roots.sys) / "class" / "tty" / name;
}

struct Candidate {
  size_t group;
  long number;
  SerialPortInfo info;
};

std::vector<Candidate> KernelPorts(const SerialRoots& roots) {
  std::vector<Candidate> found;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(fs::path(roots.sys) / "class" / "tty", ec)) {
    const std::string name = entry.path().filename().string();
    size_t group = 0;
    long number = 0;
    if (!KernelGroup(name, &group, &number)) continue;
    const std::string device = roots.dev + "/" + name;
    std::error_code missing;
    if (!fs::exists(device, missing) || !IsListedSerialName(roots, name)) continue;
    found.push_back(
        {group, number, {device, Describe(roots, kPrefixes[group], entry.path()).description}});
  }
  std::sort(found.begin(), found.end(), [](const Candidate& a, const Candidate& b) {
    return a.group != b.group ? a.group < b.group : a.number < b.number;
  });
  return found;
}

// The /dev/serial/by-id links to listed devices, by name; each carries the
// description of its device and the kernel name it stands for.
std::vector<SerialPortInfo> StableNames(const SerialRoots& roots,
                                        const std::vector<Candidate>& kernel) {
  std::vector<SerialPortInfo> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(fs::path(roots.dev) / "serial" / "by-id", ec)) {
    std::error_code broken;
    const fs::path target = fs::canonical(entry.path(), broken);
    if (broken) continue;
    for (const Candidate& port : kernel) {
      std::error_code other;
      if (!fs::equivalent(target, port.info.device, other)) continue;
      names.push_back(
          {entry.path().string(), port.info.description + " (" + target.filename().string() + ")"});
    }
  }
  std::sort(names.begin(), names.end(),
            [](const SerialPortInfo& a, const SerialPortInfo& b) { return a.device < b.device; });
  return names;
}

}  // namespace

std::vector<SerialPortInfo> ListSerialPorts(const SerialRoots& roots) {
  const std::vector<Candidate> kernel = KernelPorts(roots);
  std::vector<SerialPortInfo> ports;
  for (const Candidate& port : kernel) ports.push_back(port.info);
  for (SerialPortInfo& name : StableNames(roots, kernel)) ports.push_back(std::move(name));
  return ports;
}

bool IsListedSerialName(const SerialRoots& roots, const std::string& kernelName) {
  size_t group = 0;
  long number = 0;
  if (!KernelGroup(kernelName, &group, &number)) return false;
  return kPrefixes[group] != kUartPrefix ||
         UartIsFitted(roots, kernelName, TtyClassDir(roots, kernelName));
}

bool SerialNameBefore(std::string_view a, std::string_view b) {
  size_t groupA = std::size(kPrefixes), groupB = std::size(kPrefixes);
  long numberA = 0, numberB = 0;
  KernelGroup(a, &groupA, &numberA);
  KernelGroup(b, &groupB, &numberB);
  if (groupA != groupB) return groupA < groupB;
  if (numberA != numberB) return numberA < numberB;
  return a < b;
}

SerialDeviceFacts DescribeSerialDevice(const SerialRoots& roots, const std::string& kernelName) {
  const fs::path ttyDir = TtyClassDir(roots, kernelName);
  std::error_code ec;
  if (kernelName.empty() || !fs::exists(ttyDir / "device", ec)) return {};
  size_t group = std::size(kPrefixes);
  long number = 0;
  KernelGroup(kernelName, &group, &number);
  return Describe(roots, group < std::size(kPrefixes) ? kPrefixes[group] : "", ttyDir);
}

NoPortNotice NoPortNoticeFor(int textVariant) {
  if (textVariant == 1) return {"not Find", ""};
  return {"", "not Find"};
}

bool ParseComNumber(std::string_view text, uint32_t* number) {
  if (text.size() < 4) return false;
  for (size_t i = 0; i < 3; ++i)
    if (std::toupper(static_cast<unsigned char>(text[i])) != "COM"[i]) return false;
  uint32_t value = 0;
  for (char c : text.substr(3)) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    value = std::min(kPortNumberLimit, value * 10 + static_cast<uint32_t>(c - '0'));
  }
  *number = value;
  return true;
}

}  // namespace vqled
