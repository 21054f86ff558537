// run-slow-test.cpp - a sampling run on Part(10), where a test takes up to
// seconds: what it has found reaches the output file while it runs.
#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <thread>

#include "apps/usage/program-texts.hpp"
#include "partcore/part-tables.hpp"
#include "support/fake-console.hpp"
#include "support/pty-harness.hpp"

namespace equ {
namespace {

using namespace test;

// A run killed outright still leaves in its file the tests it finished more
// than a second before: they are flushed as they are delivered, not only
// after a batch of 64, which on Part(10) takes most of a minute.
TEST(SamplersSlow, AKilledPartTenRunKeepsWhatItFound) {
  TempDir dir;
  dir.write("p10.txt", partitionListText(10));
  PtyOptions options;
  options.workDir = dir.path();
  PtyProcess run("kspan", {"--seed=1", "--threads=1", "p10.txt", "3", "1000000", "1", "4"}, options);
  ASSERT_TRUE(run.expect("Press <enter>", 60s));
  run.send("\r");
  ASSERT_TRUE(run.expect(attribution(Program::Kspan) + ".\r\n..", 60s));
  std::string file;
  for (int tries = 0; tries < 100; ++tries) {
    file = dir.read("p10_r0.txt");
    if (file.find("sublattice of size") != std::string::npos) break;
    std::this_thread::sleep_for(100ms);
  }
  run.signal(SIGKILL);
  EXPECT_EQ(run.waitExit(), 128 + SIGKILL);
  EXPECT_NE(file.find("The "), std::string::npos) << "nothing listed within 10 s of the second test";
  EXPECT_TRUE(file.ends_with("\r\n"));
}

}  // namespace
}  // namespace equ
