// setup-test.cpp - output naming, the input prompt, the sieve's files and the set-up order.
#include "frontend/setup.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "frontend/platform.hpp"
#include "frontend/stop-key.hpp"
#include "partcore/table.hpp"
#include "support/fake-console.hpp"

namespace equ {
namespace {

using test::ConsoleScope;
using test::FatalReport;
using test::TempDir;

constexpr std::string_view kAlphabet = "0123456789abcdefghijkmnopqrstuvxyz";

// Output files p5_r<c>.txt for every alphabet character up to and including last.
std::vector<std::string> takenUpTo(char last) {
  std::vector<std::string> names;
  for (const char c : kAlphabet) {
    names.push_back(std::string("p5_r") + c + ".txt");
    if (c == last) break;
  }
  return names;
}

// The help text as showHelp writes it for the current program.
std::string helpText() {
  Console& previous = console();
  test::FakeConsole fake;
  setConsole(&fake);
  showHelp();
  setConsole(&previous);
  return fake.output;
}

void startProgram(Program program, std::vector<std::string> args) {
  std::vector<const char*> argv{"program"};
  for (const auto& a : args) argv.push_back(a.c_str());
  initParams(program, static_cast<int>(argv.size()), argv.data());
}

TEST(OutputName, ExtensionIsTheTextFromTheLastDotAfterEveryFolderSeparator) {
  const std::pair<const char*, const char*> cases[] = {
      {"p5.txt", "p5_r0.txt"},
      {"p5", "p5_r0"},
      {"p5.list.txt", "p5.list_r0.txt"},
      {"old.set\\p5", "old.set\\p5_r0"},
      {"old.set/p5", "old.set/p5_r0"},
      {"C:\\data\\p5.txt", "C:\\data\\p5_r0.txt"},
      {"disk.2:p5", "disk.2:p5_r0"},
      {".txt", "_r0.txt"},
  };
  for (const auto& [input, output] : cases) EXPECT_EQ(outputName(input, '0'), output) << input;
  EXPECT_EQ(outputName(std::string(300, 'a') + ".txt", '0').size(), kMaxLine);
}

TEST(CreateOutputFile, TakesTheFirstFreeNameInAlphabetOrder) {
  struct Case {
    const char* what;
    std::vector<std::string> present;
    const char* chosen;  // nullptr: all 34 taken
  };
  std::vector<std::string> gap{"p5_r1.txt", "p5_r2.txt"};
  const Case cases[] = {
      {"none present", {}, "p5_r0.txt"},
      {"0 and 1 present", {"p5_r0.txt", "p5_r1.txt"}, "p5_r2.txt"},
      {"a gap is filled", gap, "p5_r0.txt"},
      {"k is followed by m", takenUpTo('k'), "p5_rm.txt"},
      {"v is followed by x", takenUpTo('v'), "p5_rx.txt"},
      {"z is the last", takenUpTo('y'), "p5_rz.txt"},
      {"all 34 taken", takenUpTo('z'), nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ConsoleScope scope;
    TempDir dir;
    for (const auto& name : c.present) dir.write(name, "earlier result");
    params().inputName = dir.file("p5.txt");
    if (c.chosen == nullptr) {
      try {
        createOutputFile();
        ADD_FAILURE() << "no fatal report";
      } catch (const FatalReport& e) {
        EXPECT_EQ(std::string(e.what()), "Error: delete some of the " + dir.file("p5.txt") + "_r? files!");
      }
      EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 34) << "nothing created";
    } else {
      createOutputFile();
      runFiles().output.line("new");
      runFiles().output.close();
      EXPECT_EQ(dir.read(c.chosen), "new\r\n");
    }
    for (const auto& name : c.present) EXPECT_EQ(dir.read(name), "earlier result") << name;
  }
}

TEST(CreateOutputFile, NameCountsAsTakenWhenItExistsInAnyForm) {
  ConsoleScope scope;
  TempDir dir;
  dir.write("p5_r0.txt", "private");
  chmod(dir.file("p5_r0.txt").c_str(), 0);                                            // unreadable
  ASSERT_EQ(symlink("nowhere", dir.file("p5_r1.txt").c_str()), 0);                   // dangling link
  std::filesystem::create_directory(dir.file("p5_r2.txt"));                           // a folder
  params().inputName = dir.file("p5.txt");
  createOutputFile();
  runFiles().output.close();
  EXPECT_TRUE(std::filesystem::exists(dir.file("p5_r3.txt")));
  chmod(dir.file("p5_r0.txt").c_str(), 0600);
  EXPECT_EQ(dir.read("p5_r0.txt"), "private");
}

TEST(CreateOutputFile, NameIsClaimedAtOnceSoTheNextRunTakesAnother) {
  ConsoleScope scope;
  TempDir dir;
  std::filesystem::create_directory(dir.file("old.set"));
  params().inputName = dir.file("old.set") + "/p5";
  createOutputFile();
  runFiles().output.line("first");  // still in the buffer: the file on disk is empty
  EXPECT_TRUE(std::filesystem::exists(dir.file("old.set/p5_r0")));
  runFiles().output.close();
  createOutputFile();
  runFiles().output.close();
  EXPECT_EQ(dir.read("old.set/p5_r0"), "first\r\n");
  EXPECT_TRUE(std::filesystem::exists(dir.file("old.set/p5_r1")));
}

class Prompt : public testing::Test {
 protected:
  void SetUp() override {
    dir.write("p5.txt", "header\r\n");
    startProgram(Program::Kspan, {});
  }
  ConsoleScope scope;
  TempDir dir;
  const std::string kPrompt = "Enter the name of input file or enter \"help\" (without quotion marks): ";
};

TEST_F(Prompt, AsksUntilATypedNameOpens) {
  startProgram(Program::Kspan, {dir.file("missing.txt")});  // named by the parameter: no message
  scope.con().lines = {dir.file("missing.txt"), "", "help", "HELP", dir.path(), dir.file("p5.txt"), "unread"};
  openInputFile(Program::Kspan);
  const std::string missing = "This file does not exist!\a\r\n";
  const std::string help = helpText();
  ASSERT_FALSE(help.empty());
  EXPECT_EQ(scope.con().output, kPrompt + missing + kPrompt + kPrompt + help + kPrompt + missing + kPrompt + missing +
                                    kPrompt + dir.file("p5.txt") + " has been opened.\r\n");
  EXPECT_EQ(params().inputName, dir.file("p5.txt"));
  EXPECT_TRUE(runFiles().input.isOpen());
  EXPECT_EQ(scope.con().lines.size(), 1u);
}

TEST_F(Prompt, HelpWritesNothingInTheOtherPrograms) {
  startProgram(Program::QuadspanRand, {});
  scope.con().lines = {"help", dir.file("p5.txt")};
  openInputFile(Program::QuadspanRand);
  EXPECT_EQ(scope.con().output, kPrompt + kPrompt + dir.file("p5.txt") + " has been opened.\r\n");
}

TEST_F(Prompt, ParameterThatOpensSkipsThePrompt) {
  startProgram(Program::Kspan, {dir.file("p5.txt")});
  openInputFile(Program::Kspan);
  EXPECT_EQ(scope.con().output, dir.file("p5.txt") + " has been opened.\r\n");
}

TEST_F(Prompt, EndedConsoleInputIsAFatalErrorNotAnEndlessPrompt) {
  scope.con().lines = {""};
  EXPECT_THROW(
      {
        try {
          openInputFile(Program::Kspan);
        } catch (const FatalReport& e) {
          EXPECT_EQ(std::string(e.what()), "No input file: the console input ended before a file name was given.");
          throw;
        }
      },
      FatalReport);
  EXPECT_EQ(scope.con().output.substr(0, 2 * kPrompt.size()), kPrompt + kPrompt);
}

TEST_F(Prompt, EmptyFileIsRefused) {
  for (const char* bytes : {"", "\x1a" "header\r\n"}) {
    dir.write("empty.txt", bytes);
    startProgram(Program::Kspan, {dir.file("empty.txt")});
    try {
      openInputFile(Program::Kspan);
      ADD_FAILURE() << "accepted";
    } catch (const FatalReport& e) {
      EXPECT_EQ(std::string(e.what()), "Error: empty file is not allowed.");
    }
    runFiles().input.close();
  }
}

TEST(SieveFiles, OpensTwoFilesAndCreatesTheReportOnlyWhenItIsNew) {
  struct Case {
    std::vector<std::string> present;
    const char* message;  // nullptr: success
  };
  const Case cases[] = {
      {{}, "No {b}.txt  file was found as f"},
      {{"p5.txt"}, "No {b}_r0.txt  file was found as f2"},
      {{"p5.txt", "p5_r0.txt", "p5_comp.txt"}, "Error (code ZvQ): delete {b}_comp.txt"},
      {{"p5.txt", "p5_r0.txt"}, nullptr},
  };
  for (const Case& c : cases) {
    ConsoleScope scope;
    TempDir dir;
    for (const auto& name : c.present) dir.write(name, "kept");
    const std::string base = dir.file("p5");
    if (c.message != nullptr) {
      std::string expected = c.message;
      expected.replace(expected.find("{b}"), 3, base);
      try {
        openSieveFiles(base);
        ADD_FAILURE() << "accepted: " << expected;
      } catch (const FatalReport& e) {
        EXPECT_EQ(std::string(e.what()), expected);
      }
      if (c.present.size() == 3) {
        EXPECT_EQ(dir.read("p5_comp.txt"), "kept");
      }
      continue;
    }
    openSieveFiles(base);
    EXPECT_TRUE(runFiles().input.isOpen());
    EXPECT_TRUE(runFiles().result.isOpen());
    runFiles().output.close();
    const std::string twoLines = std::string(acknowledgementLine()) + "\r\n\r\n";
    EXPECT_EQ(dir.read("p5_comp.txt"), twoLines);
    EXPECT_EQ(scope.con().output, twoLines);
  }
}

TEST(RunSetup, EachProgramFollowsItsOwnSequence) {
  TempDir dir;
  dir.write("p5.txt", "header\r\n");
  dir.write("p5_r0.txt", "result\r\n");
  const std::string in = dir.file("p5.txt");
  startProgram(Program::Kspan, {});
  const std::string help = helpText();
  const std::string notice = "  ne:=|base set|<=10; check Bell(nmax)<=bnnmax! Press <enter>\r\n\r\n";
  const std::string ack = std::string(acknowledgementLine()) + "\r\n";
  struct Case {
    Program program;
    std::vector<std::string> args;
    std::string expected;
    std::string created;
  };
  const Case cases[] = {
      {Program::Kspan, {in, "2"}, bannerLine(Program::Kspan) + "\r\n" + ack + help + notice + in + " has been opened.\r\n",
       "p5_r1.txt"},
      {Program::QuadspanRand, {in, "2"}, bannerLine(Program::QuadspanRand) + "\r\n" + ack + notice + in +
       " has been opened.\r\n", "p5_r1.txt"},
      {Program::QuadspanScan, {in, "2"}, bannerLine(Program::QuadspanScan) + "\r\n" + ack + "\r\n" + in +
       " has been opened.\r\n", "p5_r1.txt"},
      {Program::QuadspanSieve, {dir.file("p5")}, bannerLine(Program::QuadspanSieve) + "\r\n" + ack + "\r\n",
       "p5_comp.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(bannerLine(c.program));
    ConsoleScope scope;
    startProgram(c.program, c.args);
    scope.con().lines = {"typed at the notice"};
    runSetup(c.program);
    EXPECT_EQ(scope.con().output, c.expected);
    EXPECT_EQ(params().V, c.program == Program::QuadspanSieve ? 0 : 2);
    EXPECT_TRUE(runFiles().output.isOpen());
    runFiles().output.close();
    EXPECT_TRUE(std::filesystem::remove(dir.file(c.created)));
  }
}

TEST(RunSetup, BannerLinesAreExact) {
  const std::string kspan = bannerLine(Program::Kspan);
  EXPECT_TRUE(kspan.starts_with("\"kspan\" ver. April 18 on k-generation of Equ(n); equspan")) << kspan;
  EXPECT_TRUE(bannerLine(Program::QuadspanRand).starts_with("\"quadspan\" ver. April 16 on 4-generation of Equ(n); "));
  EXPECT_TRUE(bannerLine(Program::QuadspanScan).starts_with("\"quadspan\" ver. April 14 on 4-generation of Equ(n); "));
  EXPECT_EQ(bannerLine(Program::QuadspanSieve), bannerLine(Program::QuadspanScan));
  EXPECT_NE(acknowledgementLine().find("equspan"), std::string_view::npos);
}

TEST(RunSetup, KspanRefusesABadSubsetSizeBeforeWritingAnything) {
  ConsoleScope scope;
  startProgram(Program::Kspan, {"p5.txt", "2", "10", "4", "9"});
  EXPECT_THROW(runSetup(Program::Kspan), FatalReport);
  EXPECT_EQ(scope.con().output.find("kspan"), std::string::npos);
}

TEST(LoadTable, SetsUpClearsTheFlagsAndReadsWithTheProgramsOptions) {
  struct Case {
    Program program;
    std::string afterOpened;  // what the reader writes to the console
  };
  const Case cases[] = {
      {Program::Kspan, "\r\n"},  // the line end after the (comma-less) list
      {Program::QuadspanScan, "1 Part(2)\r\n2 two partitions\r\n"},
  };
  for (const Case& c : cases) {
    ConsoleScope scope;
    TempDir dir;
    dir.write("p2.txt", "Part(2)\r\ntwo partitions\r\n1 0 2 0\r\n\r\n1 2 0\r\n\r\n");
    startProgram(c.program, {dir.file("p2.txt"), "2", "5"});
    scope.con().lines = {""};
    initTable(kSmallLimits);
    stopRequested = true;
    startIndexGiven = true;
    loadTable(c.program);
    const std::string& out = scope.con().output;
    EXPECT_TRUE(out.ends_with(" has been opened.\r\n" + c.afterOpened)) << out;
    EXPECT_FALSE(stopRequested);
    EXPECT_FALSE(startIndexGiven);
    EXPECT_EQ(table().N, 2);
    EXPECT_EQ(table().ne, 2);
    EXPECT_TRUE(runFiles().input.isOpen());
    EXPECT_TRUE(runFiles().output.isOpen());
  }
}

}  // namespace
}  // namespace equ
