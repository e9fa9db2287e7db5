#include "link/serial_errors.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace vqled {
namespace {

TEST(CommAssertText, AppendsCodeAndReasonOverTheFinalBlankAndStaysWithin255Bytes) {
  const char* text = "COMM_ASSERT(OpenPort()) failed; SerialComm(337); ";
  EXPECT_EQ(CommAssertText(text, 0), text);
  EXPECT_EQ(CommAssertText(text, EACCES),
            "COMM_ASSERT(OpenPort()) failed; SerialComm(337); Code:13;Permission denied");
  const std::string longText(300, 'x');
  EXPECT_EQ(CommAssertText(longText.c_str(), EIO).size(), 255u);
}

// No permission names the group that owns the device and how to join it; a
// device that cannot be examined is taken to belong to dialout.
TEST(PortOpenMessage, PermissionDeniedNamesTheGroupAndHowToJoinIt) {
  const std::string device =
      (std::filesystem::path(::testing::TempDir()) / "serial_owned_by_root").string();
  ::close(::open(device.c_str(), O_CREAT | O_WRONLY, 0600));
  ASSERT_EQ(::chown(device.c_str(), static_cast<uid_t>(-1), 0), 0);
  struct Case {
    std::string device;
    std::string group;
  };
  for (const Case& c : {Case{device, "root"}, Case{"/dev/ttyUSB-missing", "dialout"}}) {
    const Text message = PortOpenMessage(c.device, EACCES);
    const std::string join = "sudo usermod -aG " + c.group + " $USER";
    for (const std::string& variant : {message.en, message.zh}) {
      EXPECT_NE(variant.find(c.device), std::string::npos) << variant;
      EXPECT_NE(variant.find(join), std::string::npos) << variant;
    }
    EXPECT_NE(message.en.find("log in again"), std::string::npos);
  }
  std::filesystem::remove(device);
}

TEST(PortOpenMessage, OtherReasonsNameTheDeviceInBothVariants) {
  for (const int err : {EBUSY, EWOULDBLOCK, ENOENT, ENOTTY, EIO}) {
    const Text message = PortOpenMessage("/dev/ttyACM3", err);
    EXPECT_NE(message.en.find("/dev/ttyACM3"), std::string::npos) << err;
    EXPECT_NE(message.zh.find("/dev/ttyACM3"), std::string::npos) << err;
    EXPECT_NE(message.en, message.zh) << err;
  }
  EXPECT_NE(PortOpenMessage("/dev/ttyACM3", EIO).en.find(std::strerror(EIO)), std::string::npos);
}

}  // namespace
}  // namespace vqled
