// stop-key.hpp - the stop key (Alt+R), the orderly stop on SIGINT and SIGTERM,
// and the progress marks of the sampling runs.
#pragma once

#include <atomic>
#include <cstdint>

namespace equ {

// Set by the poll when the user asked the run to stop; read by the run loops.
extern std::atomic<bool> stopRequested;

// Puts the console into single-key mode and makes SIGINT and SIGTERM request
// an orderly stop; endRunKeys undoes both. Every exit path restores the terminal.
void beginRunKeys();
void endRunKeys();

// One poll: Alt+R (or a pending SIGINT/SIGTERM) writes the notice
// " Entering into stop mode ..., please wait" and sets stopRequested; any other
// key is consumed without effect. In quadspan-scan the key is looked at only
// when startIndexGiven is set; a signal counts always.
void pollStopKey();

// Sampling progress: a "." when t is a multiple of |D|, then a line end when t
// is a multiple of 64 |D|. D = 0 writes nothing.
void progressDots(std::int64_t t, std::int32_t D);

}  // namespace equ
