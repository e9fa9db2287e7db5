#include "application.h"

#include "message_box.h"

namespace vqled {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("VQ-ALL"));
}

bool Application::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    ShowApplicationError(error);
    return true;
  }
}

void ShowApplicationError(const std::exception& error) {
  ShowMessage(QApplication::activeWindow(), QCoreApplication::applicationName(),
              QString::fromUtf8(error.what()), MESSAGE_ERROR);
}

}  // namespace vqled
