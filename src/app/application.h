// The application object of the editor. Its notify is the application's
// error display: an exception that escapes an event handler is shown in a
// message box with its text, and the program goes on with the next event.
#pragma once

#include <QApplication>
#include <exception>

namespace vqled {

class Application : public QApplication {
 public:
  Application(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

// Shows an error's text as the application's error display does.
void ShowApplicationError(const std::exception& error);

// Runs a handler, showing any error it raises through the error display;
// handlers reached through signals run inside it, so no exception crosses Qt.
template <class Handler>
void RunHandler(Handler&& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    ShowApplicationError(error);
  }
}

}  // namespace vqled
