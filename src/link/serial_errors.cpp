#include "link/serial_errors.h"

#include <grp.h>
#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vqled {
namespace {

constexpr size_t kAssertTextMax = 255;

// The name of the group that owns device, or its number when the system has
// no name for it; empty when the device cannot be examined.
std::string DeviceGroup(const std::string& device) {
  struct stat st {};
  if (::stat(device.c_str(), &st) != 0) return {};
  std::array<char, 1024> scratch{};
  group entry{};
  group* found = nullptr;
  if (::getgrgid_r(st.st_gid, &entry, scratch.data(), scratch.size(), &found) == 0 && found)
    return found->gr_name;
  return std::to_string(st.st_gid);
}

Text PermissionMessage(const std::string& device) {
  std::string group = DeviceGroup(device);
  if (group.empty()) group = "dialout";
  const std::string join = "\"sudo usermod -aG " + group + " $USER\"";
  return {"没有权限打开串口 " + device + "：它属于用户组 " + group + "。请执行 " + join +
              " 加入该组，然后注销并重新登录。",
          "No permission to open serial port " + device + ": it belongs to group " + group +
              ". Join the group with " + join + ", then log out and log in again."};
}

}  // namespace

std::string CommAssertText(const char* assertText, int err) {
  std::string text = assertText;
  if (err != 0) {
    std::array<char, 32> code{};
    std::snprintf(code.data(), code.size(), "Code:%d;", err);
    text += code.data();
    text += std::strerror(err);
  }
  if (text.size() > kAssertTextMax) text.resize(kAssertTextMax);
  return text;
}

void RaiseComm(const char* assertText, int err, Text userMessage) {
  throw CommError(CommAssertText(assertText, err), std::move(userMessage));
}

Text PortOpenMessage(const std::string& device, int err) {
  switch (err) {
    case EACCES:
    case EPERM:
      return PermissionMessage(device);
    case EBUSY:
    case EWOULDBLOCK:
      return {"串口 " + device + " 正被其他程序占用，请关闭该程序后重试。",
              "Serial port " + device +
                  " is in use by another program. Close that program and try again."};
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return {"串口 " + device + " 不存在，请确认控制器已连接并重新选择串口。",
              "Serial port " + device +
                  " does not exist. Check that the controller is connected and choose the port "
                  "again."};
    case ENOTTY:
      return {device + " 不是串口，请重新选择串口。",
              device + " is not a serial port. Choose another port."};
    default:
      return {"无法打开串口 " + device + "：" + std::strerror(err) + "。",
              "Cannot open serial port " + device + ": " + std::strerror(err) + "."};
  }
}

Text PortVanishedMessage(const std::string& device) {
  return {"串口 " + device + " 已断开，请重新连接控制器后再发送。",
          "Serial port " + device + " was disconnected. Reconnect the controller and send again."};
}

Text PortRangeMessage(const std::string& port) {
  return {"串口 " + port + " 无效，串口号须在 1 到 1024 之间（COM1 到 COM1024）。",
          "Port " + port + " is not valid; port numbers run from 1 to 1024 (COM1 to COM1024)."};
}

Text PortStalledMessage(const std::string& device) {
  return {"串口 " + device + " 不再接收数据，请检查连接后重新发送。",
          "Serial port " + device +
              " does not take the data being sent. Check the connection and send again."};
}

}  // namespace vqled
