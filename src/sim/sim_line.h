// The controller's end of the serial line: the master of a new
// pseudo-terminal (the host opens its slave) or a tty given by path, in raw
// mode, with a wake-up descriptor so another thread can interrupt a wait.
//
// A host opens and closes the port for every transaction. While no host holds
// the slave, the master reports a hang-up (poll gives POLLHUP, read gives
// EIO); the line stays open and Wait() says LINE_HOST_CLOSED, so the caller
// backs off and waits again. The line never holds a slave descriptor of its
// own: that would keep the slave's exclusive-open flag set between the host's
// transactions and leave stale bytes queued for the next opener.
#pragma once

#include <cstdint>
#include <string>

namespace vqled {

enum LineWait : uint8_t {
  LINE_DATA,         // bytes wait to be read
  LINE_QUIET,        // the timeout passed; the host holds the line
  LINE_HOST_CLOSED,  // no host holds the line
  LINE_WOKEN,        // Wake() was called
  LINE_FAILED        // the line is gone
};

class SimLine {
 public:
  SimLine();
  ~SimLine();
  SimLine(const SimLine&) = delete;
  SimLine& operator=(const SimLine&) = delete;

  // Opens a new pseudo-terminal with a raw slave; returns the slave's path.
  // Throws std::runtime_error with the reason.
  std::string OpenPseudoTerminal();
  // Opens a tty by path, raw. Throws std::runtime_error naming it.
  void OpenTty(const std::string& path);

  LineWait Wait(int timeoutMs);
  // Sleeps up to timeoutMs; returns false when woken.
  bool Sleep(int timeoutMs);
  // Reads what waits, up to capacity bytes: the count, 0 for none, -1 when
  // the host has closed the line.
  int Read(uint8_t* bytes, int capacity);
  // Whether a host holds the slave now. Bytes written while none does would
  // wait in the line for the next opener, as stale replies.
  bool HostHolds() const;
  // Writes all bytes; false when the host has closed the line or it failed.
  bool Write(const uint8_t* bytes, int count);
  // Drops the line: the host sees its port vanish.
  void HangUp();
  void Wake();
  bool IsOpen() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
  int wakeFd_ = -1;
};

}  // namespace vqled
