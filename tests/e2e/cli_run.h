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
};

// Runs vqled-cli with args, collecting its stderr (and its stdout too with
// withStdout); kills it after kRunLimitMs.
inline CliRun RunCli(const std::vector<std::string>& args, bool withStdout = false) {
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) return {};
  const std::string program = std::string(VQLED_BIN_DIR) + "/vqled-cli";
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(pipeFds[1], STDERR_FILENO);
    if (withStdout) dup2(pipeFds[1], STDOUT_FILENO);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(pipeFds[1]);
  CliRun run;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kRunLimitMs);
  char buffer[512];
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now())
                          .count();
    pollfd p{pipeFds[0], POLLIN, 0};
    if (left <= 0 || poll(&p, 1, static_cast<int>(left)) <= 0) {
      kill(pid, SIGKILL);
      break;
    }
    const ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
    if (n <= 0) break;
    run.err.append(buffer, static_cast<size_t>(n));
  }
  close(pipeFds[0]);
  int wstatus = 0;
  waitpid(pid, &wstatus, 0);
  run.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
  return run;
}

inline bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

}  // namespace vqled
