#include "link/serial_errors.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "scratch_dir.h"

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
  // A device of the test's own belongs to the group of whoever runs the test.
  const test::ScratchDir dir("serial-errors");
  const std::string device = dir.File("serial_device");
  ::close(::open(device.c_str(), O_CREAT | O_WRONLY, 0600));
  struct stat info {};
  ASSERT_EQ(::stat(device.c_str(), &info), 0);
  const group* owner = ::getgrgid(info.st_gid);
  ASSERT_NE(owner, nullptr) << "group " << info.st_gid << " has no name";
  const std::string ownerGroup = owner->gr_name;
  ASSERT_NE(ownerGroup, "dialout");
  struct Case {
    std::string device;
    std::string group;
  };
  for (const Case& c : {Case{device, ownerGroup}, Case{"/dev/ttyUSB-missing", "dialout"}}) {
    const Text message = PortOpenMessage(c.device, EACCES);
    const std::string join = "sudo usermod -aG " + c.group + " $USER";
    for (const std::string& variant : {message.en, message.zh}) {
      EXPECT_NE(variant.find(c.device), std::string::npos) << variant;
      EXPECT_NE(variant.find(join), std::string::npos) << variant;
    }
    EXPECT_NE(message.en.find("log in again"), std::string::npos);
  }
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
