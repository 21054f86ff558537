// params.cpp - reading and checking the command-line parameters.
#include "frontend/params.hpp"

#include <charconv>
#include <string_view>
#include <thread>

#include "frontend/platform.hpp"
#include "partcore/fatal.hpp"
#include "partcore/numbers.hpp"

namespace equ {

bool startIndexGiven = false;

RunParams& params() {
  static RunParams p;
  return p;
}

namespace {

// A non-negative decimal number of at most max, nothing else.
bool parseUnsigned(std::string_view text, std::uint64_t max, std::uint64_t& value) {
  if (text.empty()) return false;
  const auto res = std::from_chars(text.data(), text.data() + text.size(), value);
  return res.ec == std::errc() && res.ptr == text.data() + text.size() && value <= max;
}

[[noreturn]] void badOption(std::string_view arg, std::string_view expected) {
  std::string message = "Bad option ";
  message.append(arg);
  message.append(": ");
  message.append(expected);
  fatalError(message);
}

}  // namespace

void initParams(Program program, int argc, const char* const* argv) {
  RunParams& p = params();
  p = RunParams{};
  p.program = program;
  startIndexGiven = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg.size() < 3 || arg.substr(0, 2) != "--" || arg.find('=') == std::string_view::npos) {
      p.positional.emplace_back(arg);
      continue;
    }
    const std::size_t eq = arg.find('=');
    const std::string_view name = arg.substr(2, eq - 2);
    const std::string_view value = arg.substr(eq + 1);
    std::uint64_t v = 0;
    if (name == "seed") {
      if (program == Program::QuadspanScan || program == Program::QuadspanSieve) {
        badOption(arg, "this program draws nothing at random");
      }
      if (!parseUnsigned(value, UINT64_MAX, v)) badOption(arg, "expected --seed=S, S a non-negative integer");
      p.seed = v;
    } else if (name == "threads") {
      if (program == Program::QuadspanSieve) badOption(arg, "this program runs on one thread");
      if (!parseUnsigned(value, 1024, v) || v == 0) badOption(arg, "expected --threads=K, K from 1 to 1024");
      p.threads = static_cast<std::int32_t>(v);
    } else if (name == "closure") {
      // The straightforward closures, kept to measure and check the fast one against.
      if (value != "reference" && value != "fast") badOption(arg, "expected --closure=reference or --closure=fast");
      p.referenceClosure = value == "reference";
    } else {
      badOption(arg, "known options are --seed=S, --threads=K and --closure=reference|fast");
    }
  }
}

bool hasParam(int p) { return static_cast<int>(params().positional.size()) >= p; }

std::string paramText(int p) {
  if (!hasParam(p)) return {};
  return params().positional[static_cast<std::size_t>(p - 1)];
}

std::int32_t readTestsAndDotStep() {
  RunParams& p = params();
  p.T = hasParam(3) ? int32OrStop(paramText(3)) : 10;
  p.D = hasParam(4) ? int32OrStop(paramText(4)) : 4;
  p.commaStep = mul32(p.D, 100);
  return p.T;
}

std::int32_t readSubsetSize() {
  RunParams& p = params();
  p.k = hasParam(5) ? int32OrStop(paramText(5)) : 4;
  if (p.k < 2 || p.k > 8) fatalError("Illegal value of whats4 = " + std::to_string(p.k));
  return p.k;
}

void readDetailLevel() {
  // Only the first two characters count: 12345 gives 12, and a message shows the cut text.
  params().V = int32OrStop(paramText(2).substr(0, 2));
}

std::int32_t readStartIndex(std::int32_t N) {
  RunParams& p = params();
  p.s = 1;
  startIndexGiven = false;
  if (hasParam(3)) {
    const std::int32_t v = int32OrStop(paramText(3));
    if (v != 0) {
      startIndexGiven = true;
      if (v < 0 || v > N - 3) fatalError("Illegal 3rd parameter (too large?)");
      p.s = v;
    }
  }
  return p.s;
}

std::int32_t threadCount() {
  if (params().threads > 0) return params().threads;
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : static_cast<std::int32_t>(cores);
}

void showHelp() {
  if (params().program != Program::Kspan) return;
  static constexpr const char* kHelp[] = {
      "The program counts random k-element subsets generating Part(n).",
      "It is controlled by parameters (use a shortcut in Windows).",
      "The parameters are, in this order:",
      ": input file (in the same folder) with Part(n); n is implicit in it",
      ": How much details? (1,2,3,4",
      "  How many random tests?",
      "  How frequently print a dot?",
      "  The size of candidate generating subsets, 2,...,8; default=4).",
      "",
  };
  for (const char* line : kHelp) console().line(line);
}

}  // namespace equ
