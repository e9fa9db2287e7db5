// The line settings of a serial port: speed, byte size, parity and stop bits
// as Open takes them, turned into the termios record of a raw tty.
#pragma once

#include <termios.h>

#include <cstdint>

namespace vqled {

constexpr uint8_t NOPARITY = 0;
constexpr uint8_t ODDPARITY = 1;
constexpr uint8_t EVENPARITY = 2;
constexpr uint8_t MARKPARITY = 3;
constexpr uint8_t SPACEPARITY = 4;
constexpr uint8_t ONESTOPBIT = 0;
constexpr uint8_t TWOSTOPBITS = 2;

// Makes line raw (no line editing, echo, signals, character translation or
// output processing), the receiver on, modem lines ignored, no flow control
// of either kind, at dwBaudRate with btByteSize (5..8) data bits, btParity
// (checked on input where there is parity) and btStopBits. Returns false,
// with line untouched, for a speed or framing the tty cannot take (among
// them 1.5 stop bits).
bool MakeLineSettings(termios* line, uint32_t dwBaudRate, uint8_t btParity, uint8_t btByteSize,
                      uint8_t btStopBits);

}  // namespace vqled
