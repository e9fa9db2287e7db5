// SIGINT and SIGTERM close the main window exactly as its close button does,
// so the settings and the patterns are saved. The signal handler only writes
// a byte into a self-pipe; a socket notifier on the user-interface thread
// reads it and closes the window.
#pragma once

#include <QObject>

class QSocketNotifier;
class QWidget;

namespace vqled {

class SignalClose : public QObject {
 public:
  // Installs the handlers for SIGINT and SIGTERM; the window is closed on
  // the user-interface thread when one arrives. One instance at a time,
  // living no longer than the window.
  explicit SignalClose(QWidget* window);
  ~SignalClose() override;

  SignalClose(const SignalClose&) = delete;
  SignalClose& operator=(const SignalClose&) = delete;

 private:
  void Drain();

  QWidget* window_;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace vqled
