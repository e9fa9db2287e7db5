#include "link/port_finder.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>

#include "link/serial_comm.h"
#include "link/serial_errors.h"
#include "link/serial_line.h"
#include "link/serial_ports.h"
#include "model/model_catalogue.h"

namespace vqled {
namespace {

using Clock = std::chrono::steady_clock;

// One port of a search: its line while it is open and what it sent so far
// (at most the three bytes of a 7E reply count).
struct ProbeLine {
  int fd = -1;
  bool pending = false;  // still waiting for its reply
  uint8_t got[kPresentM28Length] = {};
  int count = 0;
  PortAnswer answer;
};

std::string Hex(uint8_t byte) {
  char text[3];
  std::snprintf(text, sizeof text, "%02X", byte);
  return text;
}

void GiveUp(ProbeLine& line, FindResult result, Text why) {
  line.pending = false;
  line.answer.result = result;
  line.answer.why = std::move(why);
}

// Opens the port as the link does (exclusive, raw 115200 8N1) and purges
// what waits on it, so that only bytes sent after the probe count.
bool OpenLine(ProbeLine& line) {
  const std::string& device = line.answer.port.device;
  const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ioctl(fd, TIOCEXCL) != 0) {
    const int err = errno;
    if (fd >= 0) ::close(fd);
    GiveUp(line, FIND_UNUSABLE, PortOpenMessage(device, err));
    return false;
  }
  line.fd = fd;
  termios settings{};
  if (::tcgetattr(fd, &settings) != 0 ||
      !MakeLineSettings(&settings, SerialComm::kBaudRate, NOPARITY, 8, ONESTOPBIT) ||
      ::tcsetattr(fd, TCSANOW, &settings) != 0 || ::tcflush(fd, TCIOFLUSH) != 0) {
    GiveUp(line, FIND_UNUSABLE, PortOpenMessage(device, errno != 0 ? errno : EINVAL));
    return false;
  }
  return true;
}

void SendProbe(ProbeLine& line, const uint8_t* probe, int length) {
  const ssize_t written = ::write(line.fd, probe, static_cast<size_t>(length));
  if (written == length) {
    line.pending = true;
    return;
  }
  const std::string& device = line.answer.port.device;
  GiveUp(line, FIND_UNUSABLE,
         written < 0 && errno == EIO ? PortVanishedMessage(device) : PortStalledMessage(device));
}

// Takes the bytes the port sent: the first decides, a 7E waits for the two
// bytes of its block size.
void TakeReply(ProbeLine& line, const uint8_t* bytes, int count) {
  for (int i = 0; i < count && line.count < kPresentM28Length; ++i)
    line.got[line.count++] = bytes[i];
  PortAnswer& answer = line.answer;
  answer.reply = line.got[0];
  switch (answer.reply) {
    case RPL_PRESENT:
    case RPL_PRESENT_ALT:
      line.pending = false;
      answer.result = FIND_ANSWERED;
      return;
    case RPL_PRESENT_M28:
      answer.result = FIND_ANSWERED;
      if (line.count == kPresentM28Length) {
        line.pending = false;
        answer.blockSize = line.got[1] * 256 + line.got[2];
      }
      return;
    default:
      GiveUp(line, FIND_OTHER_REPLY,
             {"串口 " + answer.port.device + " 的应答 " + Hex(answer.reply) + " 不是控制器的应答",
              "Serial port " + answer.port.device + " answered " + Hex(answer.reply) +
                  ", which is no controller's reply"});
  }
}

// Reads what the port sent; a read that fails for any reason but "nothing
// yet", or a hang-up, means the device went away.
void ReadLine(ProbeLine& line, short events) {
  if (events & POLLIN) {
    uint8_t buffer[kMaxReplyChunk];
    const ssize_t got = ::read(line.fd, buffer, sizeof buffer);
    if (got > 0) return TakeReply(line, buffer, static_cast<int>(got));
    if (got < 0 && (errno == EAGAIN || errno == EINTR)) return;
  } else if (!(events & (POLLHUP | POLLERR | POLLNVAL))) {
    return;
  }
  GiveUp(line, FIND_UNUSABLE, PortVanishedMessage(line.answer.port.device));
}

// One poll over every port still waiting; false when none waits any more.
bool ServeLines(std::vector<ProbeLine>& lines, int timeoutMs) {
  std::vector<pollfd> watched;
  std::vector<ProbeLine*> owners;
  for (ProbeLine& line : lines) {
    if (!line.pending) continue;
    watched.push_back({line.fd, POLLIN, 0});
    owners.push_back(&line);
  }
  if (watched.empty()) return false;
  if (::poll(watched.data(), watched.size(), timeoutMs) <= 0) return true;
  for (size_t i = 0; i < watched.size(); ++i)
    if (watched[i].revents != 0) ReadLine(*owners[i], watched[i].revents);
  return true;
}

int MsLeft(Clock::time_point deadline) {
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

// What is left waiting at the deadline: silence, or a 7E without its block
// size (still a controller).
void EndAtDeadline(ProbeLine& line, int deadlineMs) {
  if (!line.pending) return;
  line.pending = false;
  if (line.count > 0) return;
  const std::string& device = line.answer.port.device;
  const std::string ms = std::to_string(deadlineMs);
  GiveUp(line, FIND_SILENT,
         {"串口 " + device + " 在 " + ms + " 毫秒内没有应答",
          "Serial port " + device + " did not answer within " + ms + " ms"});
}

void CloseLine(ProbeLine& line) {
  if (line.fd < 0) return;
  ::ioctl(line.fd, TIOCNXCL);
  ::close(line.fd);  // releases the flock
  line.fd = -1;
}

}  // namespace

bool IsFindCandidate(const PortRecord& port) {
  const std::string name = std::filesystem::path(port.device).filename().string();
  const bool uart = name.size() > 4 && name.compare(0, 4, "ttyS") == 0 &&
                    name.find_first_not_of("0123456789", 4) == std::string::npos;
  return !uart || IsListedSerialName({}, name);
}

std::vector<PortRecord> FindCandidates(std::vector<PortRecord> ports) {
  std::vector<PortRecord> candidates;
  for (PortRecord& port : ports)
    if (IsFindCandidate(port)) candidates.push_back(std::move(port));
  return candidates;
}

int BuildFindProbe(int modelIndex, uint8_t (&out)[kCommandFrameCapacity]) {
  const ModelProfile profile = CatalogueProfile(modelIndex);
  FrameContext context;
  context.linkMode = LINK_DOWNLOAD;
  context.valueKind = profile.valueKind;
  context.longCommandFrames = profile.longCommandFrames;
  return BuildControllerFrame(context, CMD_PROBE_DOWNLOAD, 0, out);
}

std::vector<PortAnswer> FindControllers(const std::vector<PortRecord>& ports, int modelIndex,
                                        int deadlineMs) {
  uint8_t probe[kCommandFrameCapacity];
  const int probeLength = BuildFindProbe(modelIndex, probe);
  std::vector<ProbeLine> lines(ports.size());
  for (size_t i = 0; i < ports.size(); ++i) lines[i].answer.port = ports[i];
  // Every port is open before the first probe leaves, so that the replies
  // of all of them share the one deadline.
  for (ProbeLine& line : lines) OpenLine(line);
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(deadlineMs);
  for (ProbeLine& line : lines)
    if (line.fd >= 0 && line.answer.why.empty()) SendProbe(line, probe, probeLength);
  while (ServeLines(lines, MsLeft(deadline)) && MsLeft(deadline) > 0) {
  }
  std::vector<PortAnswer> answers;
  for (ProbeLine& line : lines) {
    EndAtDeadline(line, deadlineMs);
    CloseLine(line);
    answers.push_back(std::move(line.answer));
  }
  return answers;
}

const PortAnswer* FirstAnswered(const std::vector<PortAnswer>& answers) {
  for (const PortAnswer& answer : answers)
    if (answer.result == FIND_ANSWERED) return &answer;
  return nullptr;
}

Text DescribeAnswer(const PortAnswer& answer) {
  if (answer.result != FIND_ANSWERED) return answer.why;
  const std::string& device = answer.port.device;
  const std::string code = Hex(answer.reply);
  if (answer.reply != RPL_PRESENT_M28)
    return {"串口 " + device + " 上有控制器（应答 " + code + "）",
            "Controller on " + device + " (reply " + code + ")"};
  const std::string size = answer.blockSize >= 0 ? std::to_string(answer.blockSize) : "?";
  return {"串口 " + device + " 上有 VQ-M28 控制器（应答 7E，块大小 " + size + "）",
          "VQ-M28 controller on " + device + " (reply 7E, block size " + size + ")"};
}

}  // namespace vqled
