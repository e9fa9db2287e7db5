// Runs vqled-cli as a child process for the end-to-end tests, with a time
// limit, collecting what it writes.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

namespace vqled {

inline constexpr int kRunLimitMs = 30000;  // a run that takes longer has hung

struct CliRun {
  int status = -1;  // exit status, -1 when it had to be killed
  std::string err;
  std::string out;  // stdout, when not collected into err
};

// Runs vqled-cli with args, collecting its stderr in err and its stdout in
// out (or in err too with withStdout); kills it after kRunLimitMs.
inline CliRun RunCli(const std::vector<std::string>& args, bool withStdout = false) {
  int errFds[2], outFds[2];
  if (pipe2(errFds, O_CLOEXEC) != 0) return {};
  if (pipe2(outFds, O_CLOEXEC) != 0) {
    close(errFds[0]);
    close(errFds[1]);
    return {};
  }
  const std::string program = std::string(VQLED_BIN_DIR) + "/vqled-cli";
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(errFds[1], STDERR_FILENO);
    dup2(withStdout ? errFds[1] : outFds[1], STDOUT_FILENO);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(errFds[1]);
  close(outFds[1]);
  CliRun run;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kRunLimitMs);
  pollfd p[2] = {{errFds[0], POLLIN, 0}, {outFds[0], POLLIN, 0}};
  std::string* into[2] = {&run.err, &run.out};
  char buffer[512];
  while (p[0].fd >= 0 || p[1].fd >= 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now())
                          .count();
    if (left <= 0 || poll(p, 2, static_cast<int>(left)) <= 0) {
      kill(pid, SIGKILL);
      break;
    }
    for (int i = 0; i < 2; ++i) {
      if (p[i].fd < 0 || p[i].revents == 0) continue;
      const ssize_t n = read(p[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        into[i]->append(buffer, static_cast<size_t>(n));
      } else {
        p[i].fd = -1;  // the end of this stream; poll skips it from here on
      }
    }
  }
  close(errFds[0]);
  close(outFds[0]);
  int wstatus = 0;
  waitpid(pid, &wstatus, 0);
  run.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
  return run;
}

inline bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

}  // namespace vqled
