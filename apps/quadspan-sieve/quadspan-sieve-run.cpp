// quadspan-sieve-run.cpp - reads the scanner's generating four-sets back and
// reports those that are not antichains.
#include "quadspan-sieve/quadspan-sieve-run.hpp"

#include <string>
#include <string_view>

#include "frontend/params.hpp"
#include "frontend/setup.hpp"
#include "partcore/exit-status.hpp"
#include "partcore/fatal.hpp"
#include "partcore/meet-join.hpp"
#include "partcore/numbers.hpp"
#include "partcore/table-check.hpp"
#include "partcore/table.hpp"

namespace equ {

namespace {

[[noreturn]] void refuseLine(std::int64_t lineNumber, const std::string& why) {
  fatalError("The result file cannot be used: line " + std::to_string(lineNumber) + " " + why);
}

// The element count written after "Equ(" on a result line, when there is one.
bool equCount(std::string_view rest, std::int32_t& n) {
  const std::size_t at = rest.find("Equ(");
  if (at == std::string_view::npos) return false;
  const std::size_t close = rest.find(')', at);
  if (close == std::string_view::npos) return false;
  return parseInt32(rest.substr(at + 4, close - at - 4), n);
}

}  // namespace

std::vector<FourSet> readScanResult(TextReader& result) {
  std::vector<FourSet> sets;
  const PartitionTable& tab = table();
  std::string line;
  std::int64_t lineNumber = 0;
  while (result.readLine(line)) {
    lineNumber = add64(lineNumber, 1);
    if (line.compare(0, 5, "The {") != 0) continue;
    std::string_view rest(line);
    rest.remove_prefix(5);
    std::int32_t index[4];
    for (int i = 0; i < 3; ++i) {
      const std::size_t comma = rest.find(',');
      // A missing comma leaves nothing before it to convert: the empty text.
      const std::string_view text = comma == std::string_view::npos ? std::string_view() : rest.substr(0, comma);
      index[i] = int32OrStop(text);
      // The separator is a comma and one blank; the blank is skipped unread.
      rest.remove_prefix(comma == std::string_view::npos ? rest.size() : std::min(rest.size(), comma + 2));
    }
    const std::size_t brace = rest.find('}');
    index[3] = int32OrStop(brace == std::string_view::npos ? std::string_view() : rest.substr(0, brace));
    FourSet set{};
    for (int i = 0; i < 4; ++i) {
      if (index[i] < 1 || index[i] > tab.N) {
        refuseLine(lineNumber, "names partition " + std::to_string(index[i]) + ", but the list holds " +
                                   std::to_string(tab.N) + ".");
      }
      set[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(index[i]);
    }
    std::int32_t n = 0;
    if (brace != std::string_view::npos && equCount(rest.substr(brace), n) && n != tab.ne) {
      refuseLine(lineNumber, "is about Equ(" + std::to_string(n) + "), but the list is Part(" +
                                 std::to_string(tab.ne) + ").");
    }
    sets.push_back(set);
  }
  result.close();
  return sets;
}

bool comparableCodes(const std::uint8_t* p, const std::uint8_t* q) {
  PartitionCode m;
  meet(p, q, m.data());
  if (equalCodes(p, m.data())) return true;
  return equalCodes(q, m.data());
}

namespace {

bool isAntichain(const FourSet& set) {
  static constexpr int kPairs[6][2] = {{0, 1}, {0, 2}, {0, 3}, {1, 2}, {1, 3}, {2, 3}};
  const PartitionTable& tab = table();
  for (const auto& pair : kPairs) {
    if (comparableCodes(tab.code(set[pair[0]]), tab.code(set[pair[1]]))) return false;
  }
  return true;
}

void sieveFourSets(const std::vector<FourSet>& sets) {
  Console& con = console();
  OutputFile& out = runFiles().output;
  const PartitionTable& tab = table();
  std::int64_t c = 0;
  for (std::size_t pos = 0; pos < sets.size(); ++pos) {
    const std::int64_t i = static_cast<std::int64_t>(pos) + 1;
    const bool antichain = isAntichain(sets[pos]);
    if (i % 50 == 0) con.write(".");
    if (antichain) continue;
    c = add64(c, 1);
    out.line();
    con.line();
    const std::string heading = "Non-antichain generating 4-element subset (" + std::to_string(c) + "th); " +
                                std::to_string(i) + "th in the input file):";
    out.line(heading);
    con.line(heading);
    for (const std::uint16_t index : sets[pos]) {
      printCode(tab.code(index), con);
      printCode(tab.code(index), out);
    }
    con.line();
    out.line();
  }
  con.line();
  out.line();
  const std::string summary =
      "n=" + std::to_string(tab.ne) + ",  number of non-antichain generating 4-sets = " + std::to_string(c);
  out.line(summary);
  con.line(summary);
  con.line("Press <enter>");
  waitForEnter();
  out.close();
  waitForEnter();
}

}  // namespace

int runQuadspanSieve(int argc, const char* const* argv) {
  initTable(kSmallLimits);
  initParams(Program::QuadspanSieve, argc, argv);
  loadTable(Program::QuadspanSieve);
  checkTable();
  const std::vector<FourSet> sets = readScanResult(runFiles().result);
  sieveFourSets(sets);
  runFiles().input.close();
  waitForEnter();
  return kExitOk;
}

}  // namespace equ
