// sieve-test.cpp - quadspan-sieve: the reader of result files in-process, and
// whole runs whose reports are checked against refinement worked out in the test.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "frontend/setup.hpp"
#include "partcore/exit-status.hpp"
#include "partcore/part-tables.hpp"
#include "quadspan-sieve/quadspan-sieve-run.hpp"
#include "scan-sieve-support.hpp"
#include "support/pty-harness.hpp"

namespace equ {
namespace {

using namespace std::chrono_literals;
using test::crlfLines;
using test::joinCrlf;
using test::runPlain;
using test::TempDir;

// Part(n) as the list file shows it: per partition its number line, and the
// block of each element read from the companion line ("#7 {1,3},{2},{4}").
struct ListedPartition {
  std::vector<std::string> numbers;  // the numbers of the partition line, "-1" left out
  std::vector<int> block;            // block[e - 1] for element e
};

std::vector<ListedPartition> listedPartitions(int n) {
  const std::vector<std::string> lines = crlfLines(partitionListText(n));
  std::vector<ListedPartition> parts;
  for (std::size_t i = 2; i + 1 < lines.size(); i += 2) {
    ListedPartition p;
    std::istringstream numbers(lines[i]);
    for (std::string v; numbers >> v && v != "-1";) p.numbers.push_back(v);
    p.block.assign(static_cast<std::size_t>(n), -1);
    const std::string& blocks = lines[i + 1];
    int b = 0, value = 0;
    for (std::size_t k = blocks.find('{'); k < blocks.size(); ++k) {
      const char c = blocks[k];
      if (c >= '0' && c <= '9') {
        value = value * 10 + (c - '0');
      } else if (c == ',' || c == '}') {
        if (value > 0) p.block[static_cast<std::size_t>(value - 1)] = b;
        value = 0;
        if (c == '}') ++b;
      }
    }
    parts.push_back(p);
  }
  return parts;
}

// p refines q: any two elements together in p are together in q.
bool refines(const ListedPartition& p, const ListedPartition& q) {
  for (std::size_t x = 0; x < p.block.size(); ++x) {
    for (std::size_t y = x + 1; y < p.block.size(); ++y) {
      if (p.block[x] == p.block[y] && q.block[x] != q.block[y]) return false;
    }
  }
  return true;
}

using Set = std::array<int, 4>;

bool nonAntichain(const std::vector<ListedPartition>& parts, const Set& s) {
  for (int a = 0; a < 4; ++a) {
    for (int b = a + 1; b < 4; ++b) {
      const ListedPartition& p = parts[static_cast<std::size_t>(s[static_cast<std::size_t>(a)] - 1)];
      const ListedPartition& q = parts[static_cast<std::size_t>(s[static_cast<std::size_t>(b)] - 1)];
      if (refines(p, q) || refines(q, p)) return true;
    }
  }
  return false;
}

// A partition as the report prints it: the 2n + 1 code positions, the end
// mark and the fill shown as -1, each number followed by a blank.
std::string printedCode(const ListedPartition& p, int n) {
  std::string line;
  for (std::size_t k = 0; k < static_cast<std::size_t>(2 * n + 1); ++k) {
    line += (k < p.numbers.size() ? p.numbers[k] : "-1") + " ";
  }
  return line;
}

Set setOfLine(const std::string& line) {
  Set s{};
  std::sscanf(line.c_str(), "The {%d, %d, %d, %d}", &s[0], &s[1], &s[2], &s[3]);
  return s;
}

struct SieveTexts {
  std::string console, file;
  int c = 0;
};

// What a sieve run over these sets writes after its banner, worked out here.
SieveTexts expectedSieve(int n, const std::vector<Set>& sets) {
  const std::vector<ListedPartition> parts = listedPartitions(n);
  SieveTexts r;
  const std::string ack = std::string(acknowledgementLine()) + "\r\n\r\n";
  r.console = bannerLine(Program::QuadspanSieve) + "\r\n" + ack;
  r.file = ack;
  for (std::size_t i = 1; i <= sets.size(); ++i) {
    if (i % 50 == 0) r.console += ".";
    const Set& s = sets[i - 1];
    if (!nonAntichain(parts, s)) continue;
    ++r.c;
    std::string report = "\r\nNon-antichain generating 4-element subset (" + std::to_string(r.c) + "th); " +
                         std::to_string(i) + "th in the input file):\r\n";
    for (const int k : s) report += printedCode(parts[static_cast<std::size_t>(k - 1)], n) + "\r\n";
    report += "\r\n";
    r.console += report;
    r.file += report;
  }
  const std::string summary =
      "\r\nn=" + std::to_string(n) + ",  number of non-antichain generating 4-sets = " + std::to_string(r.c) + "\r\n";
  r.console += summary + "Press <enter>\r\n";
  r.file += summary;
  return r;
}

std::vector<Set> setsOfFile(const std::string& text) {
  std::vector<Set> sets;
  for (const std::string& line : test::generatingLines(text)) sets.push_back(setOfLine(line));
  return sets;
}

// partgen, a scan at detail level 3 (size lines for the reader to skip), then
// the sieve on the same base name, with no one at the keyboard for its waits.
TEST(SievePipeline, PartFourAndFiveAgreeWithRefinementOnTheBlocks) {
  for (const int n : {4, 5}) {
    SCOPED_TRACE(n);
    TempDir dir;
    const std::string base = "p" + std::to_string(n);
    ASSERT_EQ(runPlain("partgen", {std::to_string(n), base + ".txt"}, nullptr, dir.path()).status, 0);
    ASSERT_EQ(runPlain("quadspan-scan", {base + ".txt", "3"}, nullptr, dir.path(), 60s).status, 0);
    const std::string result = dir.read(base + "_r0.txt");
    ASSERT_NE(result.find("\r\n  |[{1, 2, 3, 4}-th partitions}]| = "), std::string::npos);
    const std::vector<Set> sets = setsOfFile(result);
    ASSERT_FALSE(sets.empty());

    const test::PlainRun run = runPlain("quadspan-sieve", {base}, nullptr, dir.path());
    EXPECT_EQ(run.status, 0);
    const SieveTexts expected = expectedSieve(n, sets);
    EXPECT_EQ(run.output, expected.console);
    EXPECT_EQ(dir.read(base + "_comp.txt"), expected.file);
  }
}

// Every four-set of Part(4) listed as if it generated: many non-antichains,
// reported with their numbers, partitions and progress marks in place.
TEST(SieveReport, EveryFourSetOfPartFour) {
  TempDir dir;
  test::writePart(dir, 4, "p4.txt");
  std::string result = "a banner line\r\n";
  std::vector<Set> sets;
  std::int32_t x[4];
  for (x[0] = 1; x[0] <= 15; ++x[0]) {
    for (x[1] = x[0] + 1; x[1] <= 15; ++x[1]) {
      for (x[2] = x[1] + 1; x[2] <= 15; ++x[2]) {
        for (x[3] = x[2] + 1; x[3] <= 15; ++x[3]) {
          result += test::generatingLine(x, 4) + "\r\n  |[" + test::setText(x) + "-th partitions}]| = 9\r\n";
          sets.push_back({x[0], x[1], x[2], x[3]});
        }
      }
    }
  }
  dir.write("p4_r0.txt", result + "\r\n\r\nn=4,  number of 4-element generating sets: 1365\r\n");
  const test::PlainRun run = runPlain("quadspan-sieve", {"p4"}, nullptr, dir.path());
  EXPECT_EQ(run.status, 0);
  const SieveTexts expected = expectedSieve(4, sets);
  EXPECT_GT(expected.c, 1000);
  EXPECT_LT(expected.c, 1365);
  EXPECT_EQ(run.output, expected.console);
  const std::string file = dir.read("p4_comp.txt");
  EXPECT_EQ(file, expected.file);
  // Spelled out: the first set holds the least partition, so it is the first report.
  EXPECT_TRUE(file.starts_with(std::string(acknowledgementLine()) +
                               "\r\n\r\n\r\n"
                               "Non-antichain generating 4-element subset (1th); 1th in the input file):\r\n"
                               "1 0 2 0 3 0 4 0 -1 \r\n"
                               "1 0 2 0 3 4 0 -1 -1 \r\n"
                               "1 0 2 3 0 4 0 -1 -1 \r\n"
                               "1 0 2 3 4 0 -1 -1 -1 \r\n"
                               "\r\n\r\n"
                               "Non-antichain generating 4-element subset (2th); 2th in the input file):\r\n"))
      << file.substr(0, 600);
}

// The reader in-process, on a Part(5) table. Each case is one result file.
struct ReadCase {
  const char* what;
  std::string bytes;
  std::vector<Set> sets;    // when the file is read to its end
  std::string stop;         // the error stop's message, or
  std::string fatal;        // a text the fatal report's message contains
};

TEST(ReadScanResult, LineCases) {
  const std::string g = "}-th partitions generate Equ(5).";
  const ReadCase cases[] = {
      {"a plain line and a size line", "banner\r\nThe {3, 17, 25, 52" + g + "\r\n  |[{3, 17, 25, 52}-th partitions}]| = 52\r\n",
       {{3, 17, 25, 52}}, "", ""},
      {"comma without blank: every later index loses its first digit", "The {1,23,4,5" + g + "\r\n", {}, "\"\" is an invalid integer", ""},
      {"two blanks after a comma", "The {1,  2,  3,  4" + g + "\r\n", {{1, 2, 3, 4}}, "", ""},
      {"tag not in column 1, also as the last line",
       " The {1, 2, 3, 4" + g + "\r\nThe {5, 6, 7, 8" + g + "\r\nx The {9, 10, 11, 12" + g, {{5, 6, 7, 8}}, "", ""},
      {"last line without a line end", "The {1, 2, 3, 4" + g + "\r\nThe {5, 6, 7, 8" + g, {{1, 2, 3, 4}, {5, 6, 7, 8}},
       "", ""},
      {"a long line is read by its first 255 characters",
       "The {1, 2, 3, 4" + g + std::string(250, ' ') + "The {5, 6, 7, 8" + g + "\r\nThe {9, 10, 11, 12" + g + "\n",
       {{1, 2, 3, 4}, {9, 10, 11, 12}}, "", ""},
      {"detail level 1: no generating line", "banner\r\n\r\n\r\nn=5,  number of 4-element generating sets: 0\r\n", {},
       "", ""},
      {"Ctrl-Z ends the file", "The {1, 2, 3, 4" + g + "\n\x1aThe {5, 6, 7, 8" + g + "\n", {{1, 2, 3, 4}}, "", ""},
      {"no closing brace", "The {1, 2, 3, 4-th partitions\r\n", {}, "\"\" is an invalid integer", ""},
      {"a bad index text", "The {1, 2x, 3, 4" + g + "\r\n", {}, "\"2x\" is an invalid integer", ""},
      {"index 0", "banner\r\n\r\nThe {0, 2, 3, 4" + g + "\r\n", {}, "", "line 3"},
      {"index beyond N", "The {1, 2, 3, 4" + g + "\r\nThe {1, 2, 3, 53" + g + "\r\n", {}, "", "line 2"},
      {"another Equ(n)", "The {1, 2, 3, 4}-th partitions generate Equ(4).\r\n", {}, "", "line 1"},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.what);
    test::ConsoleScope scope;
    TempDir dir;
    test::loadPart(5, kSmallLimits);
    dir.write("p5_r0.txt", c.bytes);
    TextReader reader;
    ASSERT_TRUE(reader.open(dir.file("p5_r0.txt")));
    try {
      const std::vector<FourSet> read = readScanResult(reader);
      EXPECT_TRUE(c.stop.empty() && c.fatal.empty()) << "read to the end";
      std::vector<Set> got;
      for (const FourSet& s : read) got.push_back({s[0], s[1], s[2], s[3]});
      EXPECT_EQ(got, c.sets);
      EXPECT_FALSE(reader.isOpen());
    } catch (const test::ErrorStop& e) {
      EXPECT_EQ(e.what(), c.stop);
    } catch (const test::FatalReport& e) {
      ASSERT_FALSE(c.fatal.empty()) << e.what();
      EXPECT_NE(std::string(e.what()).find(c.fatal), std::string::npos) << e.what();
    }
    if (c.stop.empty() && c.fatal.empty()) {
      EXPECT_EQ(scope.con().output, "") << "the reader writes nothing";
    }
  }
}

// Whole runs that end in the fatal report (status 1): the file names of the
// set-up, and result lines that do not belong to the list. An existing report
// is never touched; a refused result file leaves only the set-up's lines.
TEST(SieveRun, Refusals) {
  struct Case {
    const char* what;
    bool list, result, comp;
    std::string resultLine;
    std::string message;    // the fatal report's message line
    std::string compAfter;  // p5_comp.txt afterwards; "-" when it must not exist
  };
  const std::string ack = std::string(acknowledgementLine()) + "\r\n\r\n";
  const Case cases[] = {
      {"no list file", false, true, false, "", "No p5.txt  file was found as f", "-"},
      {"no result file", true, false, false, "", "No p5_r0.txt  file was found as f2", "-"},
      {"an earlier report", true, true, true, "", "Error (code ZvQ): delete p5_comp.txt", "earlier report\r\n"},
      {"index beyond the list", true, true, false, "The {1, 2, 3, 60}-th partitions generate Equ(5).", "line 2", ack},
      {"result of another list", true, true, false, "The {1, 2, 3, 4}-th partitions generate Equ(4).", "line 2",
       ack},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    if (c.list) test::writePart(dir, 5, "p5.txt");
    if (c.result) dir.write("p5_r0.txt", "banner\r\n" + c.resultLine + "\r\n");
    if (c.comp) dir.write("p5_comp.txt", "earlier report\r\n");
    const test::PlainRun run = runPlain("quadspan-sieve", {"p5"}, nullptr, dir.path());
    EXPECT_EQ(run.status, kExitFatal);
    const std::vector<std::string> lines = crlfLines(run.output);
    const auto at = std::find(lines.begin(), lines.end(), "Error in data; possibly/appeared at: ");
    ASSERT_NE(at, lines.end()) << run.output;
    ASSERT_NE(at + 1, lines.end());
    EXPECT_NE(at[1].find(c.message), std::string::npos) << at[1];
    if (c.compAfter == "-") {
      EXPECT_FALSE(std::filesystem::exists(dir.file("p5_comp.txt")));
    } else {
      EXPECT_EQ(dir.read("p5_comp.txt"), c.compAfter);
    }
  }
}

// The process has not ended (a zombie counts as ended): its state in /proc.
bool stillRunning(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  std::getline(stat, line);
  const std::size_t close = line.rfind(')');
  return close != std::string::npos && close + 2 < line.size() && line[close + 2] != 'Z';
}

// After the report: "Press <enter>", a wait, the output file closed, a second
// wait, the list file closed, a third wait; then status 0.
TEST(SieveRun, WaitsForEnterThreeTimes) {
  TempDir dir;
  test::writePart(dir, 4, "p4.txt");
  dir.write("p4_r0.txt", "The {1, 5, 9, 15}-th partitions generate Equ(4).\r\n");
  const SieveTexts expected = expectedSieve(4, {{1, 5, 9, 15}});
  ASSERT_EQ(expected.c, 1);
  test::PtyOptions options;
  options.workDir = dir.path();
  test::PtyProcess p("quadspan-sieve", {"p4"}, options);
  ASSERT_TRUE(p.expect("Press <enter>\r\n"));
  for (int enter = 1; enter <= 3; ++enter) {
    SCOPED_TRACE(enter);
    std::this_thread::sleep_for(200ms);
    ASSERT_TRUE(stillRunning(p.pid())) << p.transcript();
    p.send("\r");
    if (enter == 1) {
      // The report is on disk once the first wait is over.
      for (int tries = 0; tries < 50 && dir.read("p4_comp.txt") != expected.file; ++tries) {
        std::this_thread::sleep_for(20ms);
      }
      EXPECT_EQ(dir.read("p4_comp.txt"), expected.file);
    }
  }
  EXPECT_EQ(p.waitExit(), 0);
  EXPECT_EQ(p.transcript(), expected.console);
}

}  // namespace
}  // namespace equ
