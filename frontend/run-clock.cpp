// run-clock.cpp - time stamps, the start, end and elapsed-time lines, and the closing sequence.
// Texts show the time of day; durations come from a clock that midnight does not reset.
#include "frontend/run-clock.hpp"

#include "frontend/stop-key.hpp"
#include "partcore/numbers.hpp"

namespace equ {
namespace {

// Console copy; the file copy leaves out the final full stop. The words are
// those that end the banner line (setup.cpp).
constexpr std::string_view kClockNotice = "   equspan, an open toolkit for partition lattices.";

void writeClockLine(std::string_view lead, const RunClock& clock) {
  std::string text(lead);
  text.append(runClockText(clock));
  text.append(kClockNotice);
  console().line(text);
  text.pop_back();
  runFiles().output.line(text);
}

}  // namespace

RunClock readRunClock() {
  const TimeOfDay t = localTimeOfDay();
  RunClock clock;
  clock.hour = t.hour;
  clock.minute = t.minute;
  clock.second = t.second;
  clock.millisecond = t.millisecond;
  clock.monotonicMs = monotonicMillis();
  return clock;
}

std::string runClockText(const RunClock& clock) {
  return std::to_string(clock.hour) + ":" + std::to_string(clock.minute) + ":" +
         std::to_string(clock.second) + "." + std::to_string(clock.millisecond);
}

void writeRunClock(Sink& sink, const RunClock& clock) { sink.write(runClockText(clock)); }

void writeStartLine(const RunClock& start) { writeClockLine("Computation starts at ", start); }

void writeEndLine(const RunClock& end) { writeClockLine("Computation terminated at ", end); }

double elapsedSeconds(const RunClock& start, const RunClock& end) {
  return static_cast<double>(end.monotonicMs - start.monotonicMs) / 1000.0;
}

void writeElapsedLine(Sink& sink, double seconds) {
  sink.line("The computation & output took " + formatFixed(seconds, 3, 15) + " seconds.");
}

void writeReport(const std::vector<std::string>& lines) {
  OutputFile& out = runFiles().output;
  out.line();
  out.line();
  for (const auto& line : lines) out.line(line);
  Console& con = console();
  con.line();
  con.line();
  for (const auto& line : lines) con.line(line);
}

void finishRun(bool indented) {
  std::string thanks(indented ? 8 : 0, ' ');
  thanks.append("Thank you for using this program.   Hit <enter> twice to abandon!");
  console().line(thanks);
  RunFiles& files = runFiles();
  files.input.close();
  files.output.close();
  endRunKeys();
  // What is typed is discarded; an ended console input counts as Enter.
  waitForEnter();
  waitForEnter();
}

}  // namespace equ
