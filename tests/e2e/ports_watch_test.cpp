// vqled-cli ports --watch over a folder of links to pseudo-terminals: the
// lines it prints as adapters are plugged and pulled, and its clean end on
// an interrupt.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli_run.h"
#include "link_folder.h"

namespace vqled {
namespace {

// A line that takes longer than this never came (the watcher rescans every
// quarter second).
constexpr int kLineDeadlineMs = 5000;

// vqled-cli running in the background with its output read line by line.
class Watcher {
 public:
  explicit Watcher(const std::vector<std::string>& args) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("no pipe");
    const std::string program = std::string(VQLED_BIN_DIR) + "/vqled-cli";
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
      dup2(fds[1], STDOUT_FILENO);
      dup2(fds[1], STDERR_FILENO);
      execv(program.c_str(), argv.data());
      _exit(127);
    }
    close(fds[1]);
    out_ = fds[0];
  }
  ~Watcher() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    close(out_);
  }

  // The next line without its newline; "" when none came within the deadline.
  std::string NextLine() {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kLineDeadlineMs);
    for (;;) {
      const size_t end = pending_.find('\n');
      if (end != std::string::npos) {
        std::string line = pending_.substr(0, end);
        pending_.erase(0, end + 1);
        return line;
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                            deadline - std::chrono::steady_clock::now())
                            .count();
      pollfd p{out_, POLLIN, 0};
      char buffer[512];
      if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0) return "";
      const ssize_t n = read(out_, buffer, sizeof buffer);
      if (n <= 0) return "";
      pending_.append(buffer, static_cast<size_t>(n));
    }
  }

  // Sends signal and returns the exit status, -1 when it did not end in time.
  int Stop(int signal) {
    kill(pid_, signal);
    for (int waited = 0; waited < kLineDeadlineMs; waited += 10) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      usleep(10000);
    }
    return -1;
  }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  std::string pending_;
};

TEST(E2ePortsWatch, PrintsPlugAndUnplugAndEndsCleanlyOnEachStopSignal) {
  for (const int signal : {SIGINT, SIGTERM}) {
    test::LinkFolder folder("ports-watch");
    folder.Make();
    test::Pty present, plugged;
    folder.Plug("usb-present-if00", present);
    const std::string presentLine = present.SlavePath() + "\t" + folder.Link("usb-present-if00");
    const std::string pluggedLine = plugged.SlavePath() + "\t" + folder.Link("usb-plugged-if00");

    Watcher watcher({"ports", "--watch", "--dir", folder.Folder()});
    // The port present at the start: the watch is running from here on.
    EXPECT_EQ(watcher.NextLine(), "+ " + presentLine);
    folder.Plug("usb-plugged-if00", plugged);
    EXPECT_EQ(watcher.NextLine(), "+ " + pluggedLine);
    folder.Unplug("usb-plugged-if00");
    EXPECT_EQ(watcher.NextLine(), "- " + pluggedLine);
    present.CloseMaster();  // the device vanishes behind its link
    EXPECT_EQ(watcher.NextLine(), "- " + presentLine);
    EXPECT_EQ(watcher.Stop(signal), 0) << strsignal(signal);
  }
}

TEST(E2ePortsWatch, RefusesAMissingFolderAndDirWithoutWatch) {
  test::ScratchDir scratch("ports-watch");
  CliRun run = RunCli({"ports", "--watch", "--dir", scratch.File("missing")});
  EXPECT_EQ(run.status, 2) << run.err;
  EXPECT_TRUE(Contains(run.err, scratch.File("missing") + ": it is no folder")) << run.err;
  run = RunCli({"ports", "--dir", scratch.path().string()});
  EXPECT_EQ(run.status, 2) << run.err;
  EXPECT_TRUE(Contains(run.err, "--dir requires --watch")) << run.err;
  run = RunCli({"ports", "--watch", "--dir"});
  EXPECT_EQ(run.status, 2) << run.err;
  EXPECT_TRUE(Contains(run.err, "--dir: 1 required FOLDER missing")) << run.err;
}

// With --json each change is one JSON object a line.
TEST(E2ePortsWatch, JsonPrintsOneObjectAChange) {
  test::LinkFolder folder("ports-watch-json");
  folder.Make();
  test::Pty plugged;
  Watcher watcher({"ports", "--watch", "--dir", folder.Folder(), "--json"});
  folder.Plug("usb-plugged-if00", plugged);
  const nlohmann::json expected{{"event", "added"},
                                {"device", plugged.SlavePath()},
                                {"byId", folder.Link("usb-plugged-if00")}};
  EXPECT_EQ(nlohmann::json::parse(watcher.NextLine(), nullptr, false), expected);
  folder.Unplug("usb-plugged-if00");
  nlohmann::json removed = expected;
  removed["event"] = "removed";
  EXPECT_EQ(nlohmann::json::parse(watcher.NextLine(), nullptr, false), removed);
  EXPECT_EQ(watcher.Stop(SIGTERM), 0);
}

}  // namespace
}  // namespace vqled
