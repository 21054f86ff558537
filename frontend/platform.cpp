// platform.cpp - text files, output files, clocks and the error stop.
// The console itself lives in terminal.cpp.
#include "frontend/platform.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <ctime>

#include "partcore/exit-status.hpp"

namespace equ {

void waitForEnter() {
  std::string ignored;
  console().readLine(ignored);  // an ended input counts as Enter
}

// ---------------------------------------------------------------------------
// TextReader

TextReader::~TextReader() { close(); }

bool TextReader::open(const std::string& name) {
  close();
  std::FILE* f = std::fopen(name.c_str(), "rb");
  if (f == nullptr) return false;
  struct stat st {};
  // Opening a folder for reading succeeds on this platform; it is no file.
  if (fstat(fileno(f), &st) != 0 || S_ISDIR(st.st_mode)) {
    std::fclose(f);
    return false;
  }
  file_ = f;
  return true;
}

bool TextReader::atEnd() {
  if (file_ == nullptr) errorStop("File not open");
  const int c = getc_unlocked(file_);
  if (c == EOF) {
    if (std::ferror(file_)) errorStop(ioErrorMessage(errno));
    return true;
  }
  ungetc(c, file_);
  return c == kEndOfFileMark;
}

bool TextReader::readLine(std::string& text) {
  text.clear();
  if (atEnd()) return false;
  for (;;) {
    const int c = getc_unlocked(file_);
    if (c == EOF) {
      if (std::ferror(file_)) errorStop(ioErrorMessage(errno));
      return true;
    }
    if (c == '\n') return true;
    if (c == '\r') {
      const int next = getc_unlocked(file_);
      if (next != '\n' && next != EOF) ungetc(next, file_);
      return true;
    }
    if (text.size() < kMaxLine) text.push_back(static_cast<char>(c));
  }
}

void TextReader::close() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
}

// ---------------------------------------------------------------------------
// OutputFile

OutputFile::~OutputFile() {
  if (fd_ >= 0) {
    drain();
    ::close(fd_);
  }
}

bool OutputFile::createExclusive(const std::string& name) {
  if (fd_ >= 0) close();
  // O_EXCL: a file that appeared after the name was chosen is never truncated.
  const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) {
    if (errno == EEXIST) return false;
    errorStop(ioErrorMessage(errno));
  }
  fd_ = fd;
  buffer_.clear();
  return true;
}

void OutputFile::write(std::string_view text) {
  if (fd_ < 0) errorStop("File not open");
  buffer_.append(text);
  if (buffer_.size() >= (1u << 16)) drain();
}

void OutputFile::drain() {
  std::size_t done = 0;
  while (done < buffer_.size()) {
    const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      buffer_.clear();  // the stop below must not try the same write again
      errorStop(ioErrorMessage(err));
    }
    done += static_cast<std::size_t>(n);
  }
  buffer_.clear();
}

void OutputFile::flush() {
  if (fd_ < 0) errorStop("File not open");
  drain();
}

void OutputFile::close() {
  if (fd_ < 0) return;
  drain();
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0 && errno != EINTR) errorStop(ioErrorMessage(errno));
}

RunFiles& runFiles() {
  static RunFiles files;
  return files;
}

bool canOpenForReading(const std::string& name) {
  TextReader probe;
  return probe.open(name);
}

bool nameExists(const std::string& name) {
  struct stat st {};
  return ::lstat(name.c_str(), &st) == 0;
}

// ---------------------------------------------------------------------------
// Error stop

namespace {
ErrorStopHandler gErrorStopHandler = nullptr;
}

void setErrorStopHandler(ErrorStopHandler handler) { gErrorStopHandler = handler; }

void errorStop(std::string_view message) {
  if (gErrorStopHandler != nullptr) {
    gErrorStopHandler(message);
  }
  restoreTerminal();
  // Keep every finished result line: flush, but leave the file as it is.
  OutputFile& out = runFiles().output;
  if (out.isOpen()) {
    static bool flushing = false;  // a failing flush must not recurse
    if (!flushing) {
      flushing = true;
      out.flush();
    }
  }
  std::string text = "\r\nAn unhandled error occurred; the program stops:\r\n";
  text.append(message);
  text.append("\r\n");
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(STDOUT_FILENO, text.data() + done, text.size() - done);
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  std::_Exit(kExitPlatformError);
}

std::string ioErrorMessage(int errnoValue) {
  switch (errnoValue) {
    case ENOSPC:
    case EDQUOT:
      return "Disk Full";
    case EACCES:
    case EPERM:
    case EROFS:
      return "Access denied";
    case ENOENT:
    case ENOTDIR:
      return "Path not found";
    case EBADF:
      return "File not open";
    default:
      return "Disk read or write error";
  }
}

// ---------------------------------------------------------------------------
// Clocks

TimeOfDay localTimeOfDay() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  tm local{};
  localtime_r(&ts.tv_sec, &local);
  TimeOfDay t;
  t.hour = static_cast<std::uint16_t>(local.tm_hour);
  t.minute = static_cast<std::uint16_t>(local.tm_min);
  t.second = static_cast<std::uint16_t>(local.tm_sec > 59 ? 59 : local.tm_sec);
  t.millisecond = static_cast<std::uint16_t>(ts.tv_nsec / 1000000);
  return t;
}

std::int64_t monotonicMillis() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::uint64_t clockSeed() {
  using namespace std::chrono;
  const auto wall = static_cast<std::uint64_t>(
      duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count());
  const auto mono = static_cast<std::uint64_t>(
      duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count());
  // Two runs started in the same nanosecond still differ by their process ids.
  return wall ^ (mono << 17) ^ (static_cast<std::uint64_t>(::getpid()) << 40);
}

}  // namespace equ
