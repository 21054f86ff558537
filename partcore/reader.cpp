// reader.cpp - the partition list file reader: header lines, then pairs of a
// partition line (parsed straight into its table entry) and a companion line.
#include "partcore/reader.hpp"

#include <cstdlib>
#include <string>
#include <string_view>

#include "partcore/fatal.hpp"
#include "partcore/numbers.hpp"
#include "partcore/table.hpp"

namespace equ {
namespace {

constexpr std::string_view kTooBig = "Too big base set. Check nmax among the constants.";

// Parses one partition line already read into `line` (at most 255 characters).
// The text is edited in place: the line buffer is the reader's only buffer.
void parseLineInto(std::string& line, std::uint8_t* code) {
  const PartitionTable& t = table();
  const std::int32_t W = t.W();
  while (!line.empty() && line.back() == ' ') line.pop_back();
  // Every token must be followed by a blank; at 255 characters there is no
  // room for one, so the last token then counts as malformed.
  if (line.size() < kMaxLine) line.push_back(' ');
  std::string_view rest(line);
  std::int32_t i = 0;
  while (!rest.empty()) {
    i = add32(i, 1);
    // A line with more numbers than a code has positions would write past it.
    if (i > W) fatalError(kTooBig);
    const std::size_t start = rest.find_first_not_of(' ');
    rest.remove_prefix(start == std::string_view::npos ? rest.size() : start);
    const std::size_t blank = rest.find(' ');
    const std::string_view token =
        blank == std::string_view::npos ? std::string_view() : rest.substr(0, blank);
    std::int32_t v = 0;
    if (!parseInt32(token, v)) fatalError("(CodezeBn!y): unexpected character in input line");
    code[i - 1] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(add32(v, 1)) & 0xFFu);
    rest.remove_prefix(blank + 1);
  }
  for (std::int32_t p = i; p < W; ++p) code[p] = 0;
}

void readCodeLine(TextReader& input, std::string& line, std::uint8_t* code) {
  if (input.atEnd()) fatalError("(CodezTgQeC28g): invalid procedure call.");
  input.readLine(line);
  parseLineInto(line, code);
}

}  // namespace

void parseCodeLine(TextReader& input, std::uint8_t* code) {
  std::string line;
  readCodeLine(input, line, code);
}

void readTable(TextReader& input, const ReaderOptions& options) {
  PartitionTable& t = table();
  const std::int32_t W = t.W();
  if (t.A0.size() < static_cast<std::size_t>(t.limits.bnnmax) * static_cast<std::size_t>(W)) {
    initTable(t.limits);
  }
  t.N = 0;
  std::string line;
  line.reserve(kMaxLine + 1);

  for (int h = 1; h <= 2; ++h) {
    if (input.atEnd()) fatalError("(CodewLHb): bad first two lines in input file");
    input.readLine(line);
    if (options.echoHeaders) {
      Console& con = console();
      con.write(h == 1 ? "1 " : "2 ");
      con.line(line);
    }
    if (input.atEnd()) fatalError("(CodeZpLHKb): bad first two lines in input file");
  }

  // |commaStep| in 64 bits: the step's magnitude may not fit its own type.
  const std::int64_t commaEvery = std::llabs(static_cast<long long>(options.commaStep));
  while (!input.atEnd()) {
    // The table holds bnnmax entries; one more partition has nowhere to go.
    if (t.N >= t.limits.bnnmax) fatalError(kTooBig);
    t.N = add32(t.N, 1);
    readCodeLine(input, line, t.code(t.N));
    if (input.atEnd()) fatalError("(CodejZtX): the file should not end here");
    input.readLine(line);
    if (options.progressCommas && commaEvery != 0 && t.N % commaEvery == 0) console().write(",");
  }
  if (options.progressCommas) console().line();
  if (t.N < 1) fatalError("(CodewjnOPr): no partition in input file");

  const std::uint8_t* first = t.code(1);
  std::int32_t largest = 0;
  for (std::int32_t p = 0; p < W; ++p) {
    if (first[p] > largest) largest = first[p];
  }
  const std::int32_t n = add32(largest, -1);
  // Refused before it is set: a code length beyond W would send every later
  // comparison past the end of its code.
  if (n > t.limits.nmax) fatalError(kTooBig);
  setElementCount(n);
}

}  // namespace equ
