// params.hpp - the command-line parameters of the four programs, their
// defaults, their checks and the order in which each program reads them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace equ {

enum class Program { Kspan, QuadspanRand, QuadspanScan, QuadspanSieve };

struct RunParams {
  Program program = Program::Kspan;
  std::vector<std::string> positional;   // positional[0] is parameter 1
  std::optional<std::uint64_t> seed;     // --seed=S: a reproducible run
  std::int32_t threads = 0;              // --threads=K; 0 uses every core
  bool referenceClosure = false;         // --closure=reference: the straightforward path
  std::int32_t T = 10;                   // number of tests
  std::int32_t D = 4;                    // dot step
  std::int32_t commaStep = 400;          // 100 x D, the list reader's comma step
  std::int32_t k = 4;                    // subset size (whats4)
  std::int32_t V = 0;                    // detail level
  std::int32_t s = 1;                    // start index of quadspan-scan
  std::string inputName;                 // the opened input file
};

RunParams& params();

// quadspan-scan: a non-zero start index was given, which enables the stop key.
extern bool startIndexGiven;

// Takes the options of the form --name=value out of the arguments and keeps
// the rest as the positional parameters. An unknown or bad option is refused
// through fatalError before anything else is written.
void initParams(Program program, int argc, const char* const* argv);

// Parameter p (counting from 1) is present when at least p were given.
bool hasParam(int p);
std::string paramText(int p);

// T (parameter 3, default 10) and D (parameter 4, default 4); stores D and the
// comma step 100 x D. Returns T.
std::int32_t readTestsAndDotStep();
// k (parameter 5, default 4); outside 2..8 the fatal report
// "Illegal value of whats4 = " k.
std::int32_t readSubsetSize();
// V from the first two characters of parameter 2; an absent parameter is the
// empty text and stops the program as an invalid integer.
void readDetailLevel();
// s (parameter 3) for a table of N partitions; 0 or absent means 1 with the
// stop key off; otherwise 1 <= s <= N - 3, else "Illegal 3rd parameter (too large?)".
std::int32_t readStartIndex(std::int32_t N);
// Threads of a run: --threads=K, else every core.
std::int32_t threadCount();
// The nine lines of kspan's help; nothing for the other programs.
void showHelp();

}  // namespace equ
