// vqled-sim as a program: prints its device, serves it, stops on SIGTERM and
// leaves the images it stored in its folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "scratch_dir.h"

namespace vqled {
namespace {

using Bytes = std::vector<uint8_t>;

// Runs vqled-sim with the arguments; its stdout comes back through a pipe.
struct Program {
  explicit Program(std::vector<std::string> args) {
    int out[2];
    if (pipe(out) != 0) return;
    pid = fork();
    if (pid == 0) {
      dup2(out[1], STDOUT_FILENO);
      close(out[0]);
      const std::string path = std::string(VQLED_BIN_DIR) + "/vqled-sim";
      args.insert(args.begin(), path);
      std::vector<char*> argv;
      for (std::string& arg : args) argv.push_back(arg.data());
      argv.push_back(nullptr);
      execv(path.c_str(), argv.data());
      _exit(127);
    }
    close(out[1]);
    stdoutFd = out[0];
  }
  ~Program() {
    if (pid > 0 && !exited) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
    if (stdoutFd >= 0) close(stdoutFd);
  }
  std::string FirstLine() const {
    std::string line;
    char c = 0;
    pollfd in = {stdoutFd, POLLIN, 0};
    while (poll(&in, 1, 2000) == 1 && read(stdoutFd, &c, 1) == 1 && c != '\n') line += c;
    return line;
  }
  int Stop() {
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    exited = true;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  pid_t pid = -1;
  int stdoutFd = -1;
  bool exited = false;
};

Bytes Exchange(int fd, const Bytes& frame) {
  EXPECT_EQ(write(fd, frame.data(), frame.size()), static_cast<ssize_t>(frame.size()));
  pollfd in = {fd, POLLIN, 0};
  uint8_t reply[16];
  if (poll(&in, 1, 1000) != 1) return {};
  const ssize_t count = read(fd, reply, sizeof reply);
  return count > 0 ? Bytes(reply, reply + count) : Bytes{};
}

TEST(SimProgram, ServesUntilSigtermAndKeepsTheStoredImage) {
  const test::ScratchDir scratch("sim-program");
  const std::filesystem::path& dir = scratch.path();
  Program sim({"--model", "VQ-M01", "--quiet", "--save-dir", dir.string()});
  const std::string device = sim.FirstLine();
  ASSERT_EQ(device.rfind("/dev/pts/", 0), 0u) << device;

  const int fd = open(device.c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(fd, 0);
  termios settings{};
  tcgetattr(fd, &settings);
  cfmakeraw(&settings);
  tcsetattr(fd, TCSANOW, &settings);
  EXPECT_EQ(Exchange(fd, {0xAA, 0xBB, 0x01, 0x7F, 0x55}), Bytes{0x8F});
  EXPECT_EQ(Exchange(fd, {0xAA, 0xBB, 0x01, 0x9F, 0x55}), Bytes{0x3C});
  EXPECT_EQ(Exchange(fd, {0xAA, 0xBB, 0x03, 0x01, 0x02, 0x03, 0x55}), Bytes{0xAA});
  EXPECT_EQ(Exchange(fd, {0xAA, 0xBB, 0x01, 0xDD, 0x55}), Bytes{0xDD});
  close(fd);

  EXPECT_EQ(sim.Stop(), 0);
  std::ifstream saved(dir / "area-01.bin", std::ios::binary);
  EXPECT_EQ(Bytes(std::istreambuf_iterator<char>(saved), {}), (Bytes{0x01, 0x02, 0x03}));
}

TEST(SimProgram, RefusesAnUnknownModel) {
  Program sim({"--model", "VQ-M29", "--quiet"});
  EXPECT_EQ(sim.FirstLine(), "");
  int status = 0;
  waitpid(sim.pid, &status, 0);
  sim.exited = true;
  EXPECT_EQ(WEXITSTATUS(status), 2);
}

}  // namespace
}  // namespace vqled
