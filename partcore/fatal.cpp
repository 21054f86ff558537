// fatal.cpp - the fatal error report.
#include "partcore/fatal.hpp"

#include <cstdlib>
#include <string>

#include "frontend/platform.hpp"
#include "partcore/exit-status.hpp"

namespace equ {
namespace {
FatalHandler gFatalHandler = nullptr;
}

void setFatalHandler(FatalHandler handler) { gFatalHandler = handler; }

void fatalError(std::string_view message) {
  const std::string text(message.substr(0, kMaxLine));
  Console& con = console();
  con.leaveKeyMode();  // the wait below is an ordinary line read
  con.line("\a");
  con.line("Error in data; possibly/appeared at: ");
  con.line(text);
  con.line("  Press <enter> to quit");
  if (gFatalHandler != nullptr) gFatalHandler(text);
  waitForEnter();
  RunFiles& files = runFiles();
  files.input.close();
  files.result.close();
  files.output.close();
  restoreTerminal();
  // A failure must not look like success to a script or a scheduler.
  std::exit(kExitFatal);
}

}  // namespace equ
