#include "link/serial_line.h"

#include <gtest/gtest.h>

namespace vqled {
namespace {

constexpr tcflag_t kFraming = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB;

// A line as a terminal leaves it: canonical, echoing, with flow control.
termios CookedLine() {
  termios line{};
  line.c_iflag = ICRNL | IXON | IXOFF | ISTRIP;
  line.c_oflag = OPOST | ONLCR;
  line.c_cflag = CS7 | PARENB | CRTSCTS | HUPCL;
  line.c_lflag = ICANON | ECHO | ISIG | IEXTEN;
  return line;
}

TEST(MakeLineSettings, GivesRawLinesWithTheFramingAsked) {
  struct Case {
    uint32_t baud;
    uint8_t parity, byteSize, stopBits;
    speed_t speed;
    tcflag_t framing;
  };
  const Case cases[] = {
      {115200, NOPARITY, 8, ONESTOPBIT, B115200, CS8},
      {9600, EVENPARITY, 7, TWOSTOPBITS, B9600, CS7 | PARENB | CSTOPB},
      {57600, ODDPARITY, 8, ONESTOPBIT, B57600, CS8 | PARENB | PARODD},
      {19200, MARKPARITY, 5, ONESTOPBIT, B19200, CS5 | PARENB | PARODD | CMSPAR},
      {921600, SPACEPARITY, 6, ONESTOPBIT, B921600, CS6 | PARENB | CMSPAR},
  };
  for (const Case& c : cases) {
    termios line = CookedLine();
    ASSERT_TRUE(MakeLineSettings(&line, c.baud, c.parity, c.byteSize, c.stopBits)) << c.baud;
    EXPECT_EQ(::cfgetospeed(&line), c.speed) << c.baud;
    EXPECT_EQ(::cfgetispeed(&line), c.speed) << c.baud;
    EXPECT_EQ(line.c_cflag & kFraming, c.framing) << c.baud;
    EXPECT_EQ((line.c_iflag & INPCK) != 0, c.parity != NOPARITY) << c.baud;
    EXPECT_EQ(line.c_cflag & (CLOCAL | CREAD | CRTSCTS), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(line.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP), 0u) << c.baud;
    EXPECT_EQ(line.c_oflag & OPOST, 0u) << c.baud;
    EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u) << c.baud;
    EXPECT_EQ(line.c_cc[VMIN], 1) << c.baud;
    EXPECT_EQ(line.c_cc[VTIME], 0) << c.baud;
  }
}

TEST(MakeLineSettings, RefusesWhatTheTtyCannotTakeAndLeavesTheLine) {
  struct Case {
    uint32_t baud;
    uint8_t parity, byteSize, stopBits;
  };
  const Case cases[] = {
      {12345, NOPARITY, 8, ONESTOPBIT},  {115200, 5, 8, ONESTOPBIT}, {115200, NOPARITY, 4, 0},
      {115200, NOPARITY, 9, ONESTOPBIT}, {115200, NOPARITY, 8, 1},   {115200, NOPARITY, 8, 3},
  };
  for (const Case& c : cases) {
    termios line = CookedLine();
    EXPECT_FALSE(MakeLineSettings(&line, c.baud, c.parity, c.byteSize, c.stopBits)) << c.baud;
    EXPECT_EQ(line.c_lflag, CookedLine().c_lflag);
    EXPECT_EQ(line.c_cflag, CookedLine().c_cflag);
  }
}

}  // namespace
}  // namespace vqled
