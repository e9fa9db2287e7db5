#include "link/serial_ports.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "scratch_dir.h"

namespace vqled {
namespace {

namespace fs = std::filesystem;

// A /dev and /sys of our own, laid out as the kernel lays out tty devices.
class FakeTree {
 public:
  FakeTree() : root_(scratch_.path()) {
    fs::create_directories(root_ / "dev");
    fs::create_directories(root_ / "sys" / "class" / "tty");
  }

  SerialRoots Roots() const { return {(root_ / "dev").string(), (root_ / "sys").string()}; }
  std::string Dev(const std::string& name) const { return (root_ / "dev" / name).string(); }

  // A tty class entry whose device directory is devicePath below
  // /sys/devices, bound to driver when one is given.
  fs::path AddTty(const std::string& name, const std::string& devicePath,
                  const std::string& driver = "", bool node = true) {
    const fs::path device = root_ / "sys" / "devices" / devicePath;
    fs::create_directories(device);
    const fs::path entry = root_ / "sys" / "class" / "tty" / name;
    fs::create_directories(entry);
    fs::create_directory_symlink(device, entry / "device");
    if (!driver.empty()) {
      const fs::path drv = root_ / "sys" / "bus" / "drivers" / driver;
      fs::create_directories(drv);
      fs::create_directory_symlink(drv, device / "driver");
    }
    if (node) Write(root_ / "dev" / name, "");
    return entry;
  }

  // USB attributes of the device directory usbPath below /sys/devices.
  void AddUsb(const std::string& usbPath, const std::string& vendor, const std::string& product,
              const std::string& manufacturer, const std::string& productName) {
    const fs::path dir = root_ / "sys" / "devices" / usbPath;
    fs::create_directories(dir);
    Write(dir / "idVendor", vendor + "\n");
    Write(dir / "idProduct", product + "\n");
    if (!manufacturer.empty()) Write(dir / "manufacturer", manufacturer + "\n");
    if (!productName.empty()) Write(dir / "product", productName + "\n");
  }

  void AddById(const std::string& name, const std::string& target) {
    fs::create_directories(root_ / "dev" / "serial" / "by-id");
    fs::create_symlink("../../" + target, root_ / "dev" / "serial" / "by-id" / name);
  }

  static void Write(const fs::path& path, const std::string& text) { std::ofstream(path) << text; }

 private:
  test::ScratchDir scratch_{"serial-ports"};
  fs::path root_;
};

TEST(ListSerialPorts, ListsUsbAcmAndFittedUartsInNumberOrderThenStableNames) {
  FakeTree tree;
  const std::string usb = "pci0000:00/0000:00:14.0/usb1/1-2";
  tree.AddUsb(usb, "0403", "6001", "FTDI", "FT232R USB UART");
  tree.AddTty("ttyUSB10", usb + "/1-2:1.0/ttyUSB10", "ftdi_sio");
  tree.AddTty("ttyUSB2", usb + "/1-2:1.1/ttyUSB2", "ftdi_sio");
  const std::string acm = "pci0000:00/0000:00:14.0/usb1/1-3";
  tree.AddUsb(acm, "2341", "0043", "", "");
  tree.AddTty("ttyACM0", acm + "/1-3:1.0/tty/ttyACM0", "cdc_acm");
  FakeTree::Write(tree.AddTty("ttyS0", "pnp/00:01/tty/ttyS0", "serial8250") / "type", "4\n");
  FakeTree::Write(tree.AddTty("ttyS1", "platform/serial8250/tty/ttyS1", "serial8250") / "type",
                  "0\n");                     // a placeholder without a port behind it
  tree.AddTty("ttyS2", "virtual/tty/ttyS2");  // no driver
  FakeTree::Write(tree.AddTty("ttyS4", "platform/serial8250/tty/ttyS4", "serial8250") / "type",
                  "123\n");  // a UART of a type without a name here
  tree.AddTty("ttyUSB3", usb + "/1-2:1.2/ttyUSB3", "ftdi_sio", false);  // no device node
  tree.AddTty("tty0", "virtual/tty/tty0");
  tree.AddTty("ttyUSBx", "virtual/tty/ttyUSBx");
  tree.AddById("usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", "ttyUSB2");
  tree.AddById("usb-gone-if00", "ttyUSB7");  // dangling

  const std::vector<SerialPortInfo> ports = ListSerialPorts(tree.Roots());
  struct Expected {
    std::string device;
    std::string description;
  };
  const Expected expected[] = {
      {tree.Dev("ttyACM0"), "USB modem (2341:0043)"},
      {tree.Dev("ttyS0"), "Serial port (16550A)"},
      {tree.Dev("ttyS4"), "Serial port (serial8250)"},
      {tree.Dev("ttyUSB2"), "FTDI FT232R USB UART (0403:6001)"},
      {tree.Dev("ttyUSB10"), "FTDI FT232R USB UART (0403:6001)"},
      {tree.Dev("serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"),
       "FTDI FT232R USB UART (0403:6001) (ttyUSB2)"},
  };
  ASSERT_EQ(ports.size(), std::size(expected));
  for (size_t i = 0; i < ports.size(); ++i) {
    EXPECT_EQ(ports[i].device, expected[i].device) << i;
    EXPECT_EQ(ports[i].description, expected[i].description) << i;
  }
}

TEST(ListSerialPorts, EmptyOrMissingTreeGivesNoPortsAndTheNotFindNotice) {
  FakeTree tree;
  EXPECT_TRUE(ListSerialPorts(tree.Roots()).empty());
  EXPECT_TRUE(ListSerialPorts({"/nonexistent/dev", "/nonexistent/sys"}).empty());

  const NoPortNotice english = NoPortNoticeFor(1);
  EXPECT_EQ(english.label13, "not Find");
  EXPECT_EQ(english.comboBox5, "");
  const NoPortNotice chinese = NoPortNoticeFor(0);
  EXPECT_EQ(chinese.label13, "");
  EXPECT_EQ(chinese.comboBox5, "not Find");
}

TEST(DescribeSerialDevice, GivesUsbIdsAndSerialNumberAndNothingForUnknownTtys) {
  FakeTree tree;
  const std::string usb = "pci0000:00/0000:00:14.0/usb1/1-4";
  tree.AddUsb(usb, "1a86", "7523", "", "USB Serial");
  FakeTree::Write(tree.Roots().sys + "/devices/" + usb + "/serial", "5A3C0123\n");
  tree.AddTty("ttyUSB0", usb + "/1-4:1.0/ttyUSB0/tty/ttyUSB0", "ch341");
  FakeTree::Write(tree.AddTty("ttyS0", "pnp/00:01/tty/ttyS0", "serial8250") / "type", "4\n");

  const SerialDeviceFacts ch340 = DescribeSerialDevice(tree.Roots(), "ttyUSB0");
  EXPECT_EQ(ch340.description, "USB Serial (1a86:7523)");
  EXPECT_EQ(ch340.usbId, "1a86:7523");
  EXPECT_EQ(ch340.serialNumber, "5A3C0123");
  const SerialDeviceFacts uart = DescribeSerialDevice(tree.Roots(), "ttyS0");
  EXPECT_EQ(uart.description, "Serial port (16550A)");
  EXPECT_EQ(uart.usbId, "");
  for (const char* unknown : {"3", "ttyUSB9", "", "../../etc"}) {
    const SerialDeviceFacts none = DescribeSerialDevice(tree.Roots(), unknown);
    EXPECT_EQ(none.description + none.usbId + none.serialNumber, "") << unknown;
  }
  EXPECT_TRUE(IsListedSerialName(tree.Roots(), "ttyUSB0"));
  EXPECT_TRUE(IsListedSerialName(tree.Roots(), "ttyS0"));
  EXPECT_FALSE(IsListedSerialName(tree.Roots(), "ttyS1"));  // no UART behind it
  EXPECT_FALSE(IsListedSerialName(tree.Roots(), "tty0"));
}

TEST(SerialNameBefore, OrdersByGroupThenNumber) {
  const char* ordered[] = {"ttyACM0", "ttyACM10", "ttyS0", "ttyS2", "ttyUSB2", "ttyUSB10", "pts"};
  for (size_t i = 0; i + 1 < std::size(ordered); ++i) {
    EXPECT_TRUE(SerialNameBefore(ordered[i], ordered[i + 1])) << ordered[i];
    EXPECT_FALSE(SerialNameBefore(ordered[i + 1], ordered[i])) << ordered[i];
  }
}

TEST(ParseComNumber, ComTextsGiveTheirNumberOtherTextsNone) {
  struct Case {
    const char* text;
    bool isCom;
    uint32_t number;
  };
  const Case cases[] = {
      {"COM1", true, 1},       {"com12", true, 12},     {"COM0", true, 0},
      {"COM1024", true, 1024}, {"COM1025", true, 1025}, {"COM4294967297", true, 1025},
      {"COM", false, 0},       {"COM3 ", false, 0},     {"/dev/ttyUSB0", false, 0},
      {"COMx", false, 0},      {"", false, 0},
  };
  for (const Case& c : cases) {
    uint32_t number = 7777;
    EXPECT_EQ(ParseComNumber(c.text, &number), c.isCom) << c.text;
    if (c.isCom) {
      EXPECT_EQ(number, c.number) << c.text;
    }
  }
}

}  // namespace
}  // namespace vqled
