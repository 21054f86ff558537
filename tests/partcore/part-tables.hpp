// part-tables.hpp - test helpers: Part(n) put straight into the table, codes
// written as list-file numbers, and list-file bytes read by the real reader.
#pragma once

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "partcore/reader.hpp"
#include "partcore/table.hpp"
#include "partgen/partgen.hpp"
#include "support/fake-console.hpp"

namespace equ::test {

// The table of all partitions of {1..n} under the given limits, as a loaded
// and checked list file would leave it.
inline void loadPart(int n, const CoreLimits& limits = kLargeLimits) {
  initTable(limits);
  const std::vector<std::uint8_t> codes = partitionCodes(n, limits.width);
  PartitionTable& t = table();
  std::copy(codes.begin(), codes.end(), t.A0.begin());
  t.N = static_cast<std::int32_t>(codes.size() / static_cast<std::size_t>(limits.width));
  setElementCount(n);
}

// A code from the numbers of its list-file line: 1 3 0 2 0 4 0 is {1,3},{2},{4}.
inline PartitionCode codeOf(std::initializer_list<int> numbers) {
  PartitionCode c;
  std::size_t p = 0;
  for (int v : numbers) c.bytes[p++] = static_cast<std::uint8_t>(v + 1);
  return c;
}

// What a read of a list file ended with: an empty text for a normal end.
struct ReadOutcome {
  std::string fatal;    // message of the fatal report
  std::string stop;     // message of the error stop
  std::string console;  // everything the reader wrote
};

inline ReadOutcome readListBytes(const std::string& bytes, const ReaderOptions& options = {},
                                 const CoreLimits& limits = kLargeLimits) {
  ReadOutcome outcome;
  ConsoleScope scope;
  TempDir dir;
  dir.write("list.txt", bytes);
  TextReader input;
  if (!input.open(dir.file("list.txt"))) throw std::runtime_error("cannot open the list file");
  initTable(limits);
  try {
    readTable(input, options);
  } catch (const FatalReport& e) {
    outcome.fatal = e.what();
  } catch (const ErrorStop& e) {
    outcome.stop = e.what();
  }
  outcome.console = scope.con().output;
  return outcome;
}

}  // namespace equ::test
