// run-clock.hpp - time stamps of a run, the start, end and elapsed-time lines,
// and the closing sequence.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "frontend/platform.hpp"

namespace equ {

// The local time of day of a stamp, and a monotonic reading for durations.
struct RunClock {
  std::uint16_t hour = 0, minute = 0, second = 0, millisecond = 0;
  std::int64_t monotonicMs = 0;
};

RunClock readRunClock();
// "9:5:7.42": no padding anywhere, the milliseconds included.
std::string runClockText(const RunClock& clock);
void writeRunClock(Sink& sink, const RunClock& clock);
// "Computation starts at " clock notice: console (notice with its full stop),
// then the output file (without it).
void writeStartLine(const RunClock& start);
// "Computation terminated at " clock notice, likewise (quadspan-scan).
void writeEndLine(const RunClock& end);
// Seconds between two stamps, from the monotonic clock: true across midnight.
double elapsedSeconds(const RunClock& start, const RunClock& end);
// "The computation & output took " seconds (3 decimals, field 15) " seconds."
void writeElapsedLine(Sink& sink, double seconds);

// The statistics of a run: two empty lines and the lines to the output
// file, then the same to the console.
void writeReport(const std::vector<std::string>& lines);

// The thank-you line (indented by eight blanks for quadspan-scan), closing of
// the input and the output file, two line reads. The caller then exits with 0.
void finishRun(bool indented);

}  // namespace equ
