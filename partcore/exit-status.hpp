// exit-status.hpp - the exit statuses of every program, in one place.
#pragma once

namespace equ {

inline constexpr int kExitOk = 0;              // a normal run
inline constexpr int kExitFatal = 1;           // the fatal error report: bad data or use
inline constexpr int kExitInterrupted = 130;   // a second Ctrl+C during a run
inline constexpr int kExitPlatformError = 217; // the platform's error stop

}  // namespace equ
