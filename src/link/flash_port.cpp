#include "link/flash_port.h"

#include <algorithm>

namespace vqled {

int FlashSerialPort::Read(uint8_t* buffer, int length) {
  if (!IsOpen() || buffer == nullptr || length <= 0) return SerialComm::Read(buffer, length);
  const uint32_t waiting = QueueCount(COMM_QUEUE_INPUT);
  if (waiting == kQueueCountFailed) return SerialComm::Read(buffer, length);
  if (waiting == 0) return 0;
  return SerialComm::Read(buffer, static_cast<int>(std::min<uint32_t>(waiting, length)));
}

}  // namespace vqled
