// The serial port of a flashing-station unit: SerialComm whose Read takes
// only the bytes that already wait. Many links share one poll loop there,
// so a read must not hold the loop: SerialComm's Read waits for the rest of
// a reply (10 ms after the last byte, 40 ms when nothing came, as after a
// notification whose bytes an earlier read took), and every such wait would
// stall every other unit. The link's replies are single bytes, and the one
// three-byte reply is held by the link across reads.
#pragma once

#include "link/serial_comm.h"

namespace vqled {

class FlashSerialPort : public SerialComm {
 public:
  // The bytes waiting, up to length, at once; 0 when none wait. A line the
  // system cannot count on (a device gone) is read as SerialComm reads it,
  // which reports the vanished device.
  int Read(uint8_t* buffer, int length) override;
};

}  // namespace vqled
