// stop-key.cpp - the stop key and its signal counterparts, and the progress dots.
// During a run SIGINT and SIGTERM only request a stop; the run loop sees them at its next poll.
#include "frontend/stop-key.hpp"

#include <unistd.h>

#include <csignal>

#include "frontend/params.hpp"
#include "frontend/platform.hpp"
#include "partcore/exit-status.hpp"

namespace equ {

// Set by terminal.cpp while the console waits for a typed line.
extern volatile std::sig_atomic_t gAwaitingLine;

std::atomic<bool> stopRequested{false};

namespace {

constexpr const char* kStopNotice = " Entering into stop mode ..., please wait";

volatile std::sig_atomic_t gRunActive = 0;
volatile std::sig_atomic_t gStopSignals = 0;  // SIGINT and SIGTERM received during the run
volatile std::sig_atomic_t gSigintSeen = 0;
std::sig_atomic_t gStopSignalsNoticed = 0;  // how many of them the poll has reported

// Signals handled during a run, and what they were before it.
constexpr int kStopSignals[] = {SIGINT, SIGTERM};
constexpr int kRestoreSignals[] = {SIGHUP, SIGQUIT};
struct sigaction gOldActions[NSIG];
bool gHandlersInstalled = false;

// The terminal goes back to line mode, then the signal has its ordinary effect.
void restoreAndReraise(int sig) {
  restoreTerminal();
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

void onStopSignal(int sig) {
  if (!gRunActive || gAwaitingLine) {
    // A wait for Enter (the fatal report's, say): Ctrl+C ends the program as usual.
    restoreAndReraise(sig);
    return;
  }
  if (sig == SIGINT) {
    if (gSigintSeen) {
      // The user insists: no orderly stop, but never a terminal left in key mode.
      restoreTerminal();
      _exit(kExitInterrupted);
    }
    gSigintSeen = 1;
  }
  gStopSignals = gStopSignals + 1;
}

void install(int sig, void (*handler)(int)) {
  struct sigaction old {};
  sigaction(sig, nullptr, &old);
  gOldActions[sig] = old;
  // A signal ignored by whoever started us (nohup, a background job) stays ignored.
  if (old.sa_handler == SIG_IGN) return;
  struct sigaction act {};
  act.sa_handler = handler;
  sigemptyset(&act.sa_mask);
  act.sa_flags = SA_RESTART;
  sigaction(sig, &act, nullptr);
}

void notice() {
  console().line(kStopNotice);
  stopRequested = true;
}

}  // namespace

void beginRunKeys() {
  gStopSignals = 0;
  gStopSignalsNoticed = 0;
  gSigintSeen = 0;
  if (!gHandlersInstalled) {
    for (int sig : kStopSignals) install(sig, onStopSignal);
    for (int sig : kRestoreSignals) install(sig, restoreAndReraise);
    gHandlersInstalled = true;
  }
  gRunActive = 1;
  console().enterKeyMode();
}

void endRunKeys() {
  gRunActive = 0;
  console().leaveKeyMode();
  if (gHandlersInstalled) {
    for (int sig : kStopSignals) sigaction(sig, &gOldActions[sig], nullptr);
    for (int sig : kRestoreSignals) sigaction(sig, &gOldActions[sig], nullptr);
    gHandlersInstalled = false;
  }
}

void pollStopKey() {
  if (gStopSignals != gStopSignalsNoticed) [[unlikely]] {
    gStopSignalsNoticed = gStopSignalsNoticed + 1;
    notice();
    return;
  }
  // A scan started without a start index cannot be stopped by the key; keys
  // typed meanwhile stay queued for the closing waits.
  if (params().program == Program::QuadspanScan && !startIndexGiven) return;
  if (console().pollKey() == Key::AltR) notice();
}

void progressDots(std::int64_t t, std::int32_t D) {
  if (D == 0) return;
  const std::int64_t step = D < 0 ? -std::int64_t{D} : std::int64_t{D};
  if (t % step != 0) return;
  Console& con = console();
  con.write(".");
  if (t % (64 * step) == 0) con.line();
}

}  // namespace equ
