#include "link/serial_line.h"

namespace vqled {
namespace {

struct BaudCode {
  uint32_t baud;
  speed_t code;
};
constexpr BaudCode kBaudCodes[] = {
    {1200, B1200},     {2400, B2400},     {4800, B4800},     {9600, B9600},
    {19200, B19200},   {38400, B38400},   {57600, B57600},   {115200, B115200},
    {230400, B230400}, {460800, B460800}, {921600, B921600},
};

constexpr tcflag_t kByteSizeFlags[] = {CS5, CS6, CS7, CS8};

const BaudCode* FindBaud(uint32_t baud) {
  for (const BaudCode& entry : kBaudCodes)
    if (entry.baud == baud) return &entry;
  return nullptr;
}

}  // namespace

bool MakeLineSettings(termios* line, uint32_t dwBaudRate, uint8_t btParity, uint8_t btByteSize,
                      uint8_t btStopBits) {
  const BaudCode* speed = FindBaud(dwBaudRate);
  if (!speed || btByteSize < 5 || btByteSize > 8 || btParity > SPACEPARITY ||
      (btStopBits != ONESTOPBIT && btStopBits != TWOSTOPBITS))
    return false;
  ::cfmakeraw(line);
  line->c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
  line->c_cflag |= kByteSizeFlags[btByteSize - 5] | CLOCAL | CREAD;
  if (btParity != NOPARITY) {
    line->c_cflag |= PARENB;
    if (btParity == ODDPARITY || btParity == MARKPARITY) line->c_cflag |= PARODD;
    if (btParity >= MARKPARITY) line->c_cflag |= CMSPAR;
    line->c_iflag |= INPCK;
  }
  if (btStopBits == TWOSTOPBITS) line->c_cflag |= CSTOPB;
  line->c_iflag &= ~(IXON | IXOFF | IXANY);
  line->c_cc[VMIN] = 1;  // with O_NONBLOCK: "nothing yet" is EAGAIN, 0 only at hang-up
  line->c_cc[VTIME] = 0;
  ::cfsetispeed(line, speed->code);
  ::cfsetospeed(line, speed->code);
  return true;
}

}  // namespace vqled
