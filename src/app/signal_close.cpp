#include "signal_close.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QWidget>
#include <csignal>

namespace vqled {

namespace {

int pipeFds[2] = {-1, -1};  // [0] read by the notifier, [1] written by the handler

void OnSignal(int) {
  const char byte = 1;
  // Only async-signal-safe calls here; a full pipe already holds a wake-up.
  [[maybe_unused]] const ssize_t written = write(pipeFds[1], &byte, 1);
}

void Install(void (*handler)(int)) {
  struct sigaction action = {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

}  // namespace

SignalClose::SignalClose(QWidget* window) : window_(window) {
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, pipeFds) != 0) return;
  notifier_ = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] { Drain(); });
  Install(&OnSignal);
}

SignalClose::~SignalClose() {
  if (notifier_ == nullptr) return;
  Install(SIG_DFL);
  close(pipeFds[0]);
  close(pipeFds[1]);
  pipeFds[0] = pipeFds[1] = -1;
}

void SignalClose::Drain() {
  char bytes[16];
  while (read(pipeFds[0], bytes, sizeof bytes) > 0) {
  }
  window_->close();
}

}  // namespace vqled
