// Runs a check as an ordinary user in a folder that user cannot write. Root
// ignores folder permissions, so as root the check runs in a forked child
// that drops to the unprivileged uid 65534 (the folder stays root's and is
// made searchable); otherwise it runs here with the folder's write
// permission taken away for its duration.
#pragma once

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

namespace vqled {

constexpr int kOrdinaryUserId = 65534;  // nobody
constexpr int kNoOrdinaryUser = 77;     // the child could not drop to it

// The check's result (true when it held), or kNoOrdinaryUser in reason when
// no unprivileged uid could be taken.
inline bool RunAsOrdinaryUser(const std::string& folder, const std::function<bool()>& check,
                              std::string& reason) {
  if (geteuid() != 0) {
    chmod(folder.c_str(), 0555);
    const bool held = check();
    chmod(folder.c_str(), 0755);
    return held;
  }
  chmod(folder.c_str(), 0755);
  const pid_t child = fork();
  if (child == 0) {
    if (setgroups(0, nullptr) != 0 ||
        setresgid(kOrdinaryUserId, kOrdinaryUserId, kOrdinaryUserId) != 0 ||
        setresuid(kOrdinaryUserId, kOrdinaryUserId, kOrdinaryUserId) != 0) {
      _exit(kNoOrdinaryUser);
    }
    _exit(check() ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  if (WIFEXITED(status) && WEXITSTATUS(status) == kNoOrdinaryUser) {
    reason = "no unprivileged uid can be taken here";
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace vqled
