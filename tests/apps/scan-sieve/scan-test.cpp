// scan-test.cpp - quadspan-scan end to end: whole transcripts, partial ranges,
// the stop key and signals, flushing, and generating sets checked by brute force.
#include <gtest/gtest.h>

#include <csignal>
#include <regex>
#include <string>
#include <vector>

#include "frontend/setup.hpp"
#include "partcore/exit-status.hpp"
#include "scan-sieve-support.hpp"
#include "support/pty-harness.hpp"

namespace equ {
namespace {

using namespace std::chrono_literals;
using test::BruteForce;
using test::bruteForceScan;
using test::crlfLines;
using test::expectedScanFile;
using test::generatingLines;
using test::joinCrlf;
using test::kNotice;
using test::maskClocks;
using test::PtyOptions;
using test::PtyProcess;
using test::runPlain;
using test::TempDir;

const std::string& kBanner = test::kScanBanner;

PtyOptions inDir(const TempDir& dir) {
  PtyOptions options;
  options.workDir = dir.path();
  return options;
}

std::string warningLine(std::int32_t s, std::int32_t e) {
  return "WARNING: only for " + std::to_string(s) + " <= i1 <= " + std::to_string(e) + " !        WARNING !!!";
}

// The e of a warning line in a transcript or file; -1 when there is none.
std::int32_t warnedEnd(const std::string& text, std::int32_t s) {
  const std::regex re("WARNING: only for " + std::to_string(s) + " <= i1 <= ([0-9]+) !        WARNING !!!\r\n");
  std::smatch m;
  return std::regex_search(text, m, re) ? std::stoi(m[1].str()) : -1;
}

TEST(ScanReport, KnownFiguresAndNoDivisionByZero) {
  struct Case {
    const char* what;
    std::int32_t n, N;
    std::int64_t g, t, S;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"worked example", 5, 52, 100000, 270725, 10000000,
       {"n=5,  number of 4-element generating sets: 100000",
        "    which is 36.9379% of |{all 4-element subsets}|=270725",
        "Also, |Part(5)|=52; |{4-element subset}|'s average=",
        std::string(25, ' ') + "36.94, which is 71.0343% of |Part(5)|."}},
      {"no set at all", 2, 2, 0, 0, 0,
       {"n=2,  number of 4-element generating sets: 0", "    which is 0.0000% of |{all 4-element subsets}|=0",
        "Also, |Part(2)|=2; |{4-element subset}|'s average=",
        std::string(26, ' ') + "0.00, which is 0.0000% of |Part(2)|."}},
      // Part(7) as a whole: t, S and g x 100 are far beyond 32 bits.
      {"64-bit totals", 7, 877, 3000000000, 24480029875, 1000000000000,
       {"n=7,  number of 4-element generating sets: 3000000000",
        "    which is 12.2549% of |{all 4-element subsets}|=24480029875",
        "Also, |Part(7)|=877; |{4-element subset}|'s average=",
        std::string(25, ' ') + "40.85, which is 4.6579% of |Part(7)|."}},
      {"every set generates", 4, 15, 1365, 1365, 1365 * 15,
       {"n=4,  number of 4-element generating sets: 1365", "    which is 100.0000% of |{all 4-element subsets}|=1365",
        "Also, |Part(4)|=15; |{4-element subset}|'s average=",
        std::string(25, ' ') + "15.00, which is 100.0000% of |Part(4)|."}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(scanReport(c.n, c.N, c.g, c.t, c.S), c.lines);
  }
}

TEST(ScanRun, PartThreeWholeTranscriptAndFile) {
  TempDir dir;
  test::writePart(dir, 3, "p3.txt");
  PtyProcess p("quadspan-scan", {"p3.txt", "2"}, inDir(dir));
  ASSERT_TRUE(p.expect("abandon!\r\n", 20s));
  p.send("\r\r");
  ASSERT_EQ(p.waitExit(), 0);

  const std::vector<std::string> header = crlfLines(partitionListText(3));
  std::vector<std::string> console = {kBanner,
                                      std::string(acknowledgementLine()),
                                      "",
                                      "p3.txt has been opened.",
                                      "1 " + header[0],
                                      "2 " + header[1],
                                      kBanner,
                                      "Computation starts at H:M:S.MS" + kNotice + "."};
  for (int i1 = 1; i1 <= 5; ++i1) {
    for (int i2 = i1 + 1; i2 <= 5; ++i2) console.push_back("i1=" + std::to_string(i1) + " i2=" + std::to_string(i2));
  }
  const std::vector<std::string> report = {
      "n=3,  number of 4-element generating sets: 2", "    which is 40.0000% of |{all 4-element subsets}|=5",
      "Also, |Part(3)|=5; |{4-element subset}|'s average=",
      std::string(26, ' ') + "4.40, which is 88.0000% of |Part(3)|."};
  console.insert(console.end(), {"", ""});
  console.insert(console.end(), report.begin(), report.end());
  console.insert(console.end(), {"", "Computation terminated at H:M:S.MS" + kNotice + ".",
                                 "The computation & output took <seconds> seconds.",
                                 "        Thank you for using this program.   Hit <enter> twice to abandon!"});
  EXPECT_EQ(maskClocks(p.transcript()), joinCrlf(console));

  // {1,2,3,5} and {2,3,4,5} hold three atoms each; the other three sets close to four partitions.
  std::vector<std::string> file = {kBanner, "Computation starts at H:M:S.MS" + kNotice,
                                   "The {1, 2, 3, 5}-th partitions generate Equ(3).",
                                   "The {2, 3, 4, 5}-th partitions generate Equ(3).", "", ""};
  file.insert(file.end(), report.begin(), report.end());
  file.insert(file.end(), {"", "Computation terminated at H:M:S.MS" + kNotice, "",
                           "The computation & output took <seconds> seconds."});
  EXPECT_EQ(maskClocks(dir.read("p3_r0.txt")), joinCrlf(file));
}

// A start index limits the range (at detail level 3 here: a size line for
// every set); one outside 1..N - 3 is refused after the start-time line, so the
// file then holds just the banner and that line.
TEST(ScanRun, StartIndexRangeAndRefusals) {
  TempDir dir;
  test::writePart(dir, 5, "p5.txt");
  const test::PlainRun last = runPlain("quadspan-scan", {"p5.txt", "3", "49"}, nullptr, dir.path());
  EXPECT_EQ(last.status, 0);
  const BruteForce b = bruteForceScan(5, 49, 3);
  ASSERT_EQ(b.t, 1);
  EXPECT_EQ(maskClocks(dir.read("p5_r0.txt")), expectedScanFile(5, 52, b, warningLine(49, 52)));
  EXPECT_NE(last.output.find("Computation starts at"), std::string::npos);
  const std::string scanned = last.output.substr(last.output.find("Computation starts at"));
  EXPECT_NE(scanned.find(".\r\ni1=49 i2=50\r\ni1=49 i2=51\r\ni1=49 i2=52\r\ni1=50 i2=51\r\ni1=50 i2=52\r\n"
                         "i1=51 i2=52\r\n" + warningLine(49, 52) + "\r\n\r\n\r\nn=5,"),
            std::string::npos)
      << last.output;
  // The final check would fail for t = 1: it is skipped for a partial range.
  EXPECT_EQ(last.output.find("Wrong input file"), std::string::npos);

  for (const char* s : {"50", "-1"}) {
    SCOPED_TRACE(s);
    TempDir d;
    test::writePart(d, 5, "p5.txt");
    const test::PlainRun run = runPlain("quadspan-scan", {"p5.txt", "2", s}, nullptr, d.path());
    EXPECT_EQ(run.status, kExitFatal);
    EXPECT_NE(run.output.find("Error in data; possibly/appeared at: \r\nIllegal 3rd parameter (too large?)\r\n"),
              std::string::npos)
        << run.output;
    EXPECT_EQ(maskClocks(d.read("p5_r0.txt")),
              kBanner + "\r\nComputation starts at H:M:S.MS" + kNotice + "\r\n");
  }
}

// Tables too small for any four-set: t = 0, nothing divided by zero, and the
// whole range counts as scanned, so the final check runs and passes.
TEST(ScanRun, TablesOfFewerThanFourPartitions) {
  for (const int n : {1, 2}) {
    SCOPED_TRACE(n);
    TempDir dir;
    test::writePart(dir, n, "p.txt");
    const test::PlainRun run = runPlain("quadspan-scan", {"p.txt", "3"}, nullptr, dir.path());
    EXPECT_EQ(run.status, 0) << run.output;
    const std::string file = dir.read("p_r0.txt");
    for (const std::string& text : {run.output, file}) {
      EXPECT_EQ(text.find("nan"), std::string::npos) << text;
      EXPECT_EQ(text.find("inf"), std::string::npos) << text;
      EXPECT_EQ(text.find("WARNING"), std::string::npos) << text;
      EXPECT_EQ(text.find("Error"), std::string::npos) << text;
      EXPECT_NE(text.find("    which is 0.0000% of |{all 4-element subsets}|=0\r\n"), std::string::npos) << text;
    }
    EXPECT_EQ(run.output.find("i1=1 i2=2\r\n") != std::string::npos, n == 2) << run.output;
    EXPECT_EQ(maskClocks(file), expectedScanFile(n, n, BruteForce{}));
  }
}

// The whole scan lists exactly the generating sets that the other closure
// finds, t is C(N, 4), and the thread count and the closure do not change a byte.
TEST(ScanRun, WholeScanOfPartFourAgreesWithBruteForceWhateverTheEngine) {
  TempDir dir;
  test::writePart(dir, 4, "p4.txt");
  const BruteForce b = bruteForceScan(4);
  ASSERT_EQ(b.t, test::choose(15, 4));
  const std::string expected = expectedScanFile(4, 15, b);
  const char* names[] = {"p4_r0.txt", "p4_r1.txt", "p4_r2.txt", "p4_r3.txt"};
  // A start index of 1 given outright is still the whole range: no warning, and the final check.
  const std::vector<std::vector<std::string>> variants = {
      {"--threads=1"}, {"--threads=2"}, {"--closure=reference"}, {"1", "--threads=2"}};
  for (std::size_t i = 0; i < variants.size(); ++i) {
    SCOPED_TRACE(variants[i].back() + " " + variants[i].front());
    std::vector<std::string> args = {"p4.txt", "2"};
    args.insert(args.end(), variants[i].begin(), variants[i].end());
    const test::PlainRun run = runPlain("quadspan-scan", args, nullptr, dir.path());
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(maskClocks(dir.read(names[i])), expected);
  }
}

// Part(6) from i1 = 120 on: about two million sets, long enough to stop in the middle.
constexpr std::int32_t kPart6Start = 120;

// The same range scanned without a stop: what two joined partial runs must list.
std::vector<std::string> part6Reference(const TempDir& dir, const std::string& name) {
  const test::PlainRun run =
      runPlain("quadspan-scan", {"p6.txt", "2", std::to_string(kPart6Start)}, nullptr, dir.path(), 300s);
  EXPECT_EQ(run.status, 0);
  const std::string file = dir.read(name);
  EXPECT_EQ(warnedEnd(file, kPart6Start), 203);
  return generatingLines(file);
}

TEST(ScanStop, AltRFinishesTheCurrentI1AndTheNextRunContinues) {
  TempDir dir;
  test::writePart(dir, 6, "p6.txt");
  PtyProcess p("quadspan-scan", {"p6.txt", "2", std::to_string(kPart6Start)}, inDir(dir));
  ASSERT_TRUE(p.expect("i1=122 i2=123\r\n", 120s));
  p.send("\x1br");
  ASSERT_TRUE(p.expect("abandon!\r\n", 300s));
  p.send("\r\r");
  ASSERT_EQ(p.waitExit(), 0);
  EXPECT_TRUE(test::sameSettings(p.settings(), p.initialSettings())) << "the terminal is given back";
  const std::string console = p.transcript();
  const std::int32_t e = warnedEnd(console, kPart6Start);
  ASSERT_GE(e, 122) << console;
  ASSERT_LT(e, 200) << "the stop came too late to show anything";

  // After the notice only the current i1 goes on, with a stop-mode line at each new i3.
  const std::size_t notice = console.find(" Entering into stop mode ..., please wait\r\n");
  ASSERT_NE(notice, std::string::npos);
  const std::string afterNotice = console.substr(notice);
  const std::string ie = "i1=" + std::to_string(e) + " ";
  EXPECT_NE(afterNotice.find(ie + "i2=202 i3=203; wait for termination!\r\n"), std::string::npos);
  EXPECT_EQ(afterNotice.find("i1=" + std::to_string(e + 1) + " "), std::string::npos);
  for (const std::string& line : crlfLines(afterNotice)) {
    if (line.rfind("i1=", 0) == 0) {
      EXPECT_EQ(line.rfind(ie, 0), 0u) << line;
    }
  }
  EXPECT_EQ(warnedEnd(dir.read("p6_r0.txt"), kPart6Start), e);

  const test::PlainRun rest =
      runPlain("quadspan-scan", {"p6.txt", "2", std::to_string(e + 1)}, nullptr, dir.path(), 300s);
  ASSERT_EQ(rest.status, 0);
  EXPECT_EQ(warnedEnd(dir.read("p6_r1.txt"), e + 1), 203);

  std::vector<std::string> joined = generatingLines(dir.read("p6_r0.txt"));
  const std::vector<std::string> second = generatingLines(dir.read("p6_r1.txt"));
  joined.insert(joined.end(), second.begin(), second.end());
  EXPECT_EQ(joined, part6Reference(dir, "p6_r2.txt"));
}

// Without a start index the key is not polled, but Ctrl+C still asks for an
// orderly stop: the current i1 is finished and the range reported.
TEST(ScanStop, CtrlCWithoutStartIndexStopsInOrder) {
  TempDir dir;
  test::writePart(dir, 6, "p6.txt");
  PtyProcess p("quadspan-scan", {"p6.txt", "2"}, inDir(dir));
  ASSERT_TRUE(p.expect("i1=1 i2=3\r\n", 120s));
  p.send("\x03");
  ASSERT_TRUE(p.expect("abandon!\r\n", 300s));
  p.send("\r\r");
  EXPECT_EQ(p.waitExit(), 0);
  const std::string console = p.transcript();
  EXPECT_NE(console.find(" Entering into stop mode ..., please wait\r\n"), std::string::npos) << console;
  const std::int32_t e = warnedEnd(console, 1);
  ASSERT_GE(e, 1) << console;
  EXPECT_EQ(console.find("i1=" + std::to_string(e + 1) + " "), std::string::npos);
  EXPECT_EQ(console.find("Wrong input file"), std::string::npos);
  const std::string file = dir.read("p6_r0.txt");
  EXPECT_EQ(warnedEnd(file, 1), e);
  for (const std::string& line : generatingLines(file)) {
    EXPECT_LE(std::stoi(line.substr(5)), e) << line;
  }
}

// Every finished i1 is in the file while the scan still runs (the lines of
// one i1 here stay below the file buffer, so only the flush puts them there).
TEST(ScanRun, FinishedI1ValuesReachTheFileBeforeTheScanEnds) {
  TempDir dir;
  test::writePart(dir, 6, "p6.txt");
  const std::vector<std::string> full = part6Reference(dir, "p6_r0.txt");
  PtyProcess p("quadspan-scan", {"p6.txt", "2", std::to_string(kPart6Start)}, inDir(dir));
  ASSERT_TRUE(p.expect("i1=124 i2=125\r\n", 120s));
  const std::string whileRunning = dir.read("p6_r1.txt");
  p.signal(SIGKILL);
  EXPECT_EQ(p.waitExit(), 128 + SIGKILL);

  std::vector<std::string> finished;
  for (const std::string& line : full) {
    if (std::stoi(line.substr(5)) < 124) finished.push_back(line);
  }
  ASSERT_FALSE(finished.empty());
  const std::vector<std::string> found = generatingLines(whileRunning);
  ASSERT_GE(found.size(), finished.size()) << whileRunning.size() << " bytes";
  EXPECT_TRUE(std::equal(finished.begin(), finished.end(), found.begin()));
}

// A scan killed outright in the middle of an i1, at detail level 3 (a line
// for every set, far more than the file buffer holds): the file holds whole
// lines only, every set in scan order from the first on.
TEST(ScanRun, AKilledScanLeavesWholeLinesInScanOrder) {
  TempDir dir;
  test::writePart(dir, 6, "p6.txt");
  PtyProcess p("quadspan-scan", {"p6.txt", "3", std::to_string(kPart6Start)}, inDir(dir));
  ASSERT_TRUE(p.expect("i1=121 i2=150\r\n", 120s));
  p.signal(SIGKILL);
  EXPECT_EQ(p.waitExit(), 128 + SIGKILL);
  const std::string file = dir.read("p6_r0.txt");
  ASSERT_TRUE(file.ends_with("\r\n")) << "a line cut short: " << file.substr(file.size() - std::min<std::size_t>(file.size(), 80));

  std::vector<std::string> lines = crlfLines(file);
  ASSERT_GE(lines.size(), 2u);
  lines.erase(lines.begin(), lines.begin() + 2);  // banner and start time
  std::int32_t next[4] = {kPart6Start, kPart6Start + 1, kPart6Start + 2, kPart6Start + 3};
  std::string pendingGenerating;
  std::int64_t sets = 0;
  for (const std::string& line : lines) {
    if (line.rfind("The {", 0) == 0) {
      EXPECT_EQ(line, test::generatingLine(next, 6));
      pendingGenerating = line;
      continue;
    }
    const std::string lead = "  |[" + test::setText(next) + "-th partitions}]| = ";
    ASSERT_EQ(line.rfind(lead, 0), 0u) << line << " after " << sets << " sets";
    const int c = std::stoi(line.substr(lead.size()));
    EXPECT_EQ(c == 203, !pendingGenerating.empty()) << line;
    pendingGenerating.clear();
    ++sets;
    // The next set in lexicographic order.
    int k = 3;
    while (k >= 0 && next[k] == 203 - (3 - k)) --k;
    ASSERT_GE(k, 0);
    ++next[k];
    for (int j = k + 1; j < 4; ++j) next[j] = next[j - 1] + 1;
  }
  EXPECT_GE(sets, test::choose(203 - kPart6Start, 3)) << "all of i1 = 120";
}

}  // namespace
}  // namespace equ
