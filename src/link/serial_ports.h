// The serial ports the system knows, for the port selector ComboBox5, and
// the naming of ports: a "COMn" text means /dev/ttyS(n-1), any other text is
// taken as the device path it is.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vqled {

struct SerialPortInfo {
  std::string device;       // the path to open, "/dev/ttyUSB0"
  std::string description;  // what the system says the device is; may be empty
};

// Where the device nodes and the kernel's device tree live; tests point both
// at a tree of their own.
struct SerialRoots {
  std::string dev = "/dev";
  std::string sys = "/sys";
};

// The system's serial devices: every ttyUSB* and ttyACM*, the ttyS* that
// have hardware behind them, then the stable /dev/serial/by-id names. Each
// kernel group is in number order (ttyUSB2 before ttyUSB10). Empty when the
// system has none.
std::vector<SerialPortInfo> ListSerialPorts(const SerialRoots& roots = {});

// Whether the kernel tty name ("ttyUSB0") is one ListSerialPorts shows: a
// ttyUSB or ttyACM, or a ttyS with a fitted UART behind it.
bool IsListedSerialName(const SerialRoots& roots, const std::string& kernelName);

// Whether kernel tty name a comes before b in ListSerialPorts' order: by
// kernel group, then by number.
bool SerialNameBefore(std::string_view a, std::string_view b);

// What the system tells of the tty kernelName: its description as
// ListSerialPorts shows it, and for a USB adapter its vendor:product
// ("1a86:7523") and serial number. All empty for a tty the kernel's device
// tree does not know (a pseudo-terminal).
struct SerialDeviceFacts {
  std::string description;
  std::string usbId;
  std::string serialNumber;
};
SerialDeviceFacts DescribeSerialDevice(const SerialRoots& roots, const std::string& kernelName);

// What the window shows when ListSerialPorts finds nothing: "not Find" in the
// status label Label13 under the English texts (textVariant 1), otherwise as
// the text of ComboBox5. The field that is not used stays empty.
struct NoPortNotice {
  std::string label13;
  std::string comboBox5;
};
NoPortNotice NoPortNoticeFor(int textVariant);

// Port numbers run from 1 to this.
constexpr uint32_t kComPortMax = 1024;

// The number of a "COMn" text (letters in any case, n decimal); false for
// any other text. Numbers above 1024 come back as 1025, so that the range
// check refuses them without overflowing.
bool ParseComNumber(std::string_view text, uint32_t* number);

// Whether a "COMn" text names a port number in 1 to 1024.
inline bool ComNumberInRange(uint32_t number) {
  return number >= 1 && number <= kComPortMax;
}

}  // namespace vqled
