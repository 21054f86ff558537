// platform.hpp - the operating-system layer: console, text files, clocks and the error stop.
// Lines written end in CR LF; lines read end at LF, CR or CR LF and keep at most 255 characters.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace equ {

// Longest text kept from one line of input, a file name or a message.
inline constexpr std::size_t kMaxLine = 255;
// Ctrl-Z: a file whose next unread character is this one counts as ended.
inline constexpr int kEndOfFileMark = 26;

// Anything text is written to: the console or an output file.
class Sink {
 public:
  virtual ~Sink() = default;
  virtual void write(std::string_view text) = 0;
  // One write for the text and its line end, so that no flush can fall
  // between them and a killed run never leaves half a line behind.
  void line(std::string_view text = {}) {
    std::string whole;
    whole.reserve(text.size() + 2);
    whole.append(text);
    whole.append("\r\n");
    write(whole);
  }
};

// What one poll of the keyboard found.
enum class Key { None, AltR, Other };

// The text console. The real one talks to standard input and output; tests
// install a scripted one with setConsole.
class Console : public Sink {
 public:
  // Reads one line; keeps its first 255 characters and skips the rest.
  // Returns false when the input has ended before any character of a line.
  virtual bool readLine(std::string& text) = 0;
  // One look at the keyboard that never waits; consumes at most one key press.
  virtual Key pollKey() = 0;
  // Single-key mode for a run (no echo, no line editing, signals kept) and back.
  virtual void enterKeyMode() {}
  virtual void leaveKeyMode() {}
};

Console& console();
// Installs a console for tests; nullptr brings back the terminal console.
void setConsole(Console* replacement);
// Reads a console line and discards it; an ended input counts as Enter.
void waitForEnter();

// A text file read line by line with the console's line rules, Ctrl-Z ending it.
class TextReader {
 public:
  TextReader() = default;
  TextReader(const TextReader&) = delete;
  TextReader& operator=(const TextReader&) = delete;
  ~TextReader();
  // Opens an existing regular file for reading; false for a missing file, a
  // folder or one that may not be read.
  bool open(const std::string& name);
  bool isOpen() const { return file_ != nullptr; }
  // No character left, or the next one is Ctrl-Z.
  bool atEnd();
  // Reads the next line into text (at most 255 characters); false at the end.
  bool readLine(std::string& text);
  void close();

 private:
  std::FILE* file_ = nullptr;
};

// An output file: created only when its name is free, written through a buffer.
class OutputFile : public Sink {
 public:
  OutputFile() = default;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile() override;
  // Creates the file; false when the name exists already. Any other failure
  // is the platform's error stop.
  bool createExclusive(const std::string& name);
  bool isOpen() const { return fd_ >= 0; }
  void write(std::string_view text) override;
  // Hands everything written so far to the operating system.
  void flush();
  void close();

 private:
  void drain();
  int fd_ = -1;
  std::string buffer_;
};

// The files of a run: opened by the set-up, closed by the closing sequence or
// by the fatal error report.
struct RunFiles {
  TextReader input;   // the partition list file
  TextReader result;  // quadspan-sieve only: the scanner's result file
  OutputFile output;
};
RunFiles& runFiles();

// True when a file of that name exists and can be opened for reading.
bool canOpenForReading(const std::string& name);
// True when anything at all has that name, even if it cannot be read.
bool nameExists(const std::string& name);

// The platform's error stop: a line saying an unhandled error occurred, the
// message on a line of its own, exit status 217. No wait; the output file is
// flushed so that finished lines survive, but not closed.
[[noreturn]] void errorStop(std::string_view message);
using ErrorStopHandler = void (*)(std::string_view message);
// Tests install a handler that throws; nullptr brings back the real stop.
void setErrorStopHandler(ErrorStopHandler handler);

// Message of the error stop for a failed system call, by errno.
std::string ioErrorMessage(int errnoValue);

// Local time of day.
struct TimeOfDay {
  std::uint16_t hour = 0, minute = 0, second = 0, millisecond = 0;
};
TimeOfDay localTimeOfDay();
// Milliseconds of a clock that never goes back (not the time of day).
std::int64_t monotonicMillis();
// A value that differs between runs, for seeding the random generator.
std::uint64_t clockSeed();

// Terminal state: restores the settings found at start; safe in a signal handler.
void restoreTerminal();

}  // namespace equ
