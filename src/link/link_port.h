// What the controller link needs of a serial port. SerialComm implements it
// over a real tty; protocol tests put a fake port in its place.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

#include "model/text.h"

namespace vqled {

// An error raised by the port layer: the COMM_ASSERT text, plus, where the
// port layer knows better, a message for the user in both variants.
class CommError : public std::runtime_error {
 public:
  explicit CommError(const std::string& assertText, Text userMessage = {})
      : std::runtime_error(assertText), userMessage_(std::move(userMessage)) {}
  const Text& userMessage() const { return userMessage_; }

 private:
  Text userMessage_;
};

// Called on the watch thread whenever received bytes wait (about every 10 ms
// while they do) and when the line hangs up; the argument is the port number
// the notification is for. It must only post work to the user-interface thread.
using CommNotify = std::function<void(uint32_t port)>;

class LinkPort {
 public:
  virtual ~LinkPort() = default;

  virtual void SetNotifyTarget(CommNotify notify) = 0;
  // Opens a device path ("/dev/ttyUSB0") or a port text ("COM3" meaning
  // /dev/ttyS2) at 115200 8N1, exclusively, and starts the watch thread.
  // Throws CommError on failure; the port is then closed.
  virtual void OpenDevice(const std::string& device) = 0;
  virtual bool IsOpen() const = 0;
  // The number the notifications of the open port carry.
  virtual uint32_t PortNumber() const = 0;
  // Reads up to length bytes: returns when length bytes came, 10 ms after the
  // last byte once one came, or after 40 ms. Throws CommError when the
  // device has vanished.
  virtual int Read(uint8_t* buffer, int length) = 0;
  // Hands the bytes to the port and returns at once; bytes leave in call order.
  // A port whose queue stays full (a peer that stopped reading) throws
  // CommError naming it within 100 ms.
  virtual int Write(const uint8_t* buffer, int length) = 0;
  // Waits until every byte handed to Write has left the port; throws
  // CommError naming the port when they have not within 100 ms.
  virtual void Drain() = 0;
  // Stops the watch thread, purges and closes the port.
  virtual void Close(int waitMs) = 0;
};

}  // namespace vqled
