// The editor's entry: the application "VQ-ALL" with its error display, the
// main form Form2, and the message loop until the main form closes.
#include <exception>

#include "Mianc.h"
#include "application.h"
#include "signal_close.h"
#include "vqled_version.h"

int main(int argc, char** argv) {
  // Answered before the application starts, so that it needs no display.
  if (vqled::PrintVersionIfAsked("vqled", argc, argv)) return 0;
  vqled::Application app(argc, argv);
  try {
    vqled::TForm2 form;
    const vqled::SignalClose closeOnSignal(&form);
    form.show();
    const int status = app.exec();
    return form.closeExitCode() != 0 ? form.closeExitCode() : status;
  } catch (const std::exception& error) {
    vqled::ShowApplicationError(error);
    return 1;
  }
}
