// scan-slow-test.cpp - the whole scan of Part(5) by every engine, checked set
// by set against the member-list closure (a minute of reference closures).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scan-sieve-support.hpp"
#include "support/pty-harness.hpp"

namespace equ {
namespace {

using namespace std::chrono_literals;

TEST(ScanRunSlow, WholeScanOfPartFiveAgreesWithBruteForceWhateverTheEngine) {
  test::TempDir dir;
  test::writePart(dir, 5, "p5.txt");
  const test::BruteForce b = test::bruteForceScan(5);
  ASSERT_EQ(b.t, test::choose(52, 4));
  const std::string expected = test::expectedScanFile(5, 52, b);
  const char* names[] = {"p5_r0.txt", "p5_r1.txt", "p5_r2.txt"};
  const char* variants[] = {"--threads=1", "--threads=2", "--closure=reference"};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(variants[i]);
    const test::PlainRun run = test::runPlain("quadspan-scan", {"p5.txt", "2", variants[i]}, nullptr, dir.path(), 600s);
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(test::maskClocks(dir.read(names[i])), expected);
  }
}

}  // namespace
}  // namespace equ
