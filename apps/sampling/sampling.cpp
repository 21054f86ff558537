// sampling.cpp - the sampling runs of kspan and quadspan-rand.
// Sets are drawn in order on the calling thread, closed (possibly on several
// threads) and then counted and listed in draw order, so every thread count
// writes the same files as one thread.
#include "sampling/sampling.hpp"

#include <algorithm>
#include <memory>

#include "frontend/platform.hpp"
#include "frontend/run-clock.hpp"
#include "frontend/setup.hpp"
#include "frontend/stop-key.hpp"
#include "partcore/engine.hpp"
#include "partcore/exit-status.hpp"
#include "partcore/fatal.hpp"
#include "partcore/numbers.hpp"
#include "partcore/parallel.hpp"
#include "partcore/random.hpp"
#include "partcore/subset.hpp"
#include "partcore/table-check.hpp"
#include "partcore/table.hpp"

namespace equ {

std::vector<std::string> samplerReport(Program program, std::int32_t k, const SampleTotals& totals,
                                       std::int32_t n, std::int32_t N) {
  const double A = static_cast<double>(totals.S) / static_cast<double>(totals.t);
  const double M = A * 100.0 / static_cast<double>(N);
  const double P = static_cast<double>(mul64(totals.g, 100)) / static_cast<double>(totals.t);
  const std::string ks = std::to_string(k);
  std::vector<std::string> lines;
  if (program == Program::Kspan) {
    lines.push_back("n=" + std::to_string(n) + " g=" + ks + " Out of " + std::to_string(totals.t) + " " + ks +
                    "-sets, there are " + std::to_string(totals.g) + " generating ones,");
  } else {
    lines.push_back("n=" + std::to_string(n) + ". Out of " + std::to_string(totals.t) + " 4-sets, there are " +
                    std::to_string(totals.g) + " generating ones,");
  }
  lines.push_back("which are " + formatFixed(P, 4, 3) + " % of the cases considered.");
  lines.push_back("Also, the average of  |{p1,...,p" + (program == Program::Kspan ? ks : std::string("4")) +
                  "}| is " + formatFixed(A, 2, 30) + " ,");
  lines.push_back("   which is " + formatFixed(M, 4, 3) + " % of the maximum size, " + std::to_string(N) + ".");
  return lines;
}

namespace {

constexpr int kMaxK = 8;

struct DrawnSet {
  std::int32_t index[kMaxK];
};

// Closes one drawn set and gives its closure size. One per thread.
class SetCloser {
 public:
  virtual ~SetCloser() = default;
  virtual std::int32_t close(const std::int32_t* indices, int k) = 0;
};

// The straightforward closures: the member list for kspan, the flag scan for
// quadspan-rand, on a work subset reused by every test.
class ReferenceCloser final : public SetCloser {
 public:
  explicit ReferenceCloser(bool memberList) : memberList_(memberList) { initSubset(work_, memberList); }
  std::int32_t close(const std::int32_t* indices, int k) override {
    clearSubset(work_);
    for (int l = 0; l < k; ++l) addMember(work_, indices[l]);
    if (memberList_) {
      closeByMemberList(work_);
    } else {
      closeByFlagScan(work_);
    }
    return work_.count;
  }

 private:
  bool memberList_;
  PartitionSubset work_;
};

class FastCloser final : public SetCloser {
 public:
  explicit FastCloser(const ClosureEngine& engine) : engine_(engine), ws_(engine.makeWorkspace()) {}
  std::int32_t close(const std::int32_t* indices, int k) override { return engine_.closeSet(indices, k, *ws_); }

 private:
  const ClosureEngine& engine_;
  std::unique_ptr<EngineWorkspace> ws_;
};

std::string indexListKspan(const DrawnSet& set, int k) {
  std::string text = "The";
  for (int l = 0; l < k; ++l) {
    text += ' ';
    text += std::to_string(set.index[l]);
    text += '-';
  }
  return text;
}

std::string indexListQuad(const DrawnSet& set) {
  return "{" + std::to_string(set.index[0]) + ", " + std::to_string(set.index[1]) + ", " +
         std::to_string(set.index[2]) + ", " + std::to_string(set.index[3]) + "}";
}

class Sampler {
 public:
  Sampler(Program program, std::int32_t k) : program_(program), k_(k) {}

  SampleTotals run() {
    const std::int32_t T = readTestsAndDotStep();
    Random rng(params().seed ? *params().seed : clockSeed());
    stopRequested = false;
    const PartitionTable& tab = table();
    const std::int32_t N = tab.N;
    const std::string equLine = "th partitions generate Equ(" + std::to_string(tab.ne) + ").";
    OutputFile& out = runFiles().output;

    // The straightforward closures share one work subset, so they run on one thread.
    const bool reference = params().referenceClosure;
    const int threads = reference ? 1 : threadCount();
    std::unique_ptr<ClosureEngine> engine;
    // The meet and join tables of Part(8) take a second to build: worth it for long runs only.
    if (!reference) engine = std::make_unique<ClosureEngine>(ClosureEngine::tablesPay(N, T < 1 ? 1 : T), threads);
    std::vector<std::unique_ptr<SetCloser>> closers;
    for (int i = 0; i < threads; ++i) {
      if (reference) {
        closers.push_back(std::make_unique<ReferenceCloser>(program_ == Program::Kspan));
      } else {
        closers.push_back(std::make_unique<FastCloser>(*engine));
      }
    }

    const std::int64_t target = T < 1 ? 1 : T;  // the end is tested after a test: at least one
    SampleTotals totals;
    std::vector<DrawnSet> batch;
    std::int64_t lastFlush = monotonicMillis();
    bool finished = false;
    beginRunKeys();
    // Tests go to the threads in chunks, fewer per chunk the longer a closure
    // takes, and a short run still in a few chunks per thread.
    const std::int64_t chunk =
        std::clamp<std::int64_t>(std::min<std::int64_t>(65536 / N, (target + 4 * threads - 1) / (4 * threads)), 1, 1024);
    while (!finished) {
      // Drawing only depends on the generator, so a batch drawn ahead gives the
      // same sets as drawing each just before its test.
      const std::int64_t size = std::min<std::int64_t>(kBatch * chunk, target - totals.t);
      batch.resize(static_cast<std::size_t>(size));
      for (auto& set : batch) draw(rng, N, set);
      auto work = [&](std::int64_t j, std::vector<std::int32_t>& sizes, int worker) {
        sizes.clear();
        SetCloser& closer = *closers[static_cast<std::size_t>(worker)];
        const std::int64_t end = std::min(size, (j + 1) * chunk);
        for (std::int64_t i = j * chunk; i < end; ++i) {
          sizes.push_back(closer.close(batch[static_cast<std::size_t>(i)].index, k_));
        }
      };
      auto deliver = [&](std::int64_t j, std::vector<std::int32_t>& sizes) {
        for (std::size_t m = 0; m < sizes.size(); ++m) {
          if (!deliverTest(batch[static_cast<std::size_t>(j * chunk) + m], sizes[m], totals, target, equLine, out)) {
            finished = true;
            return false;
          }
        }
        // A long run keeps what it has found even if it is killed: a batch
        // of Part(10) tests takes minutes, so this is checked per chunk.
        const std::int64_t now = monotonicMillis();
        if (now - lastFlush >= 1000) {
          out.flush();
          lastFlush = now;
        }
        return true;
      };
      runOrdered<std::vector<std::int32_t>>(threads, (size + chunk - 1) / chunk, work, deliver);
    }
    endRunKeys();
    return totals;
  }

 private:
  static constexpr std::int64_t kBatch = 64;  // chunks drawn ahead at a time

  // Counts and lists one test, in draw order; false when sampling ends with it.
  bool deliverTest(const DrawnSet& set, std::int32_t c, SampleTotals& totals, std::int64_t target,
                   const std::string& equLine, OutputFile& out) const {
    totals.t = add64(totals.t, 1);
    progressDots(totals.t, params().D);
    pollStopKey();
    totals.S = add64(totals.S, c);
    if (c == table().N) {
      totals.g = add64(totals.g, 1);
      if (params().V >= 2) out.line(generatingLine(set, equLine));
    }
    if (params().V >= 3) out.line(sizeLine(set, c));
    return totals.t < target && !stopRequested;
  }

  void draw(Random& rng, std::int32_t N, DrawnSet& set) const {
    const auto bound = static_cast<std::uint32_t>(N);
    if (program_ == Program::Kspan) {
      // A repeated index is drawn again; the indices before it stay.
      for (int l = 0; l < k_; ++l) {
        for (;;) {
          const auto r = static_cast<std::int32_t>(1 + rng.below(bound));
          bool repeated = false;
          for (int m = 0; m < l; ++m) repeated = repeated || set.index[m] == r;
          if (!repeated) {
            set.index[l] = r;
            break;
          }
        }
      }
      return;
    }
    // quadspan-rand draws the whole quadruple again when any two coincide.
    for (;;) {
      for (int l = 0; l < 4; ++l) set.index[l] = static_cast<std::int32_t>(1 + rng.below(bound));
      const std::int32_t* x = set.index;
      if (x[0] != x[1] && x[0] != x[2] && x[0] != x[3] && x[1] != x[2] && x[1] != x[3] && x[2] != x[3]) return;
    }
  }

  std::string generatingLine(const DrawnSet& set, const std::string& equLine) const {
    if (program_ == Program::Kspan) return indexListKspan(set, k_) + equLine;
    return "The " + indexListQuad(set) + "-" + equLine;
  }

  std::string sizeLine(const DrawnSet& set, std::int32_t c) const {
    if (program_ == Program::Kspan) {
      return indexListKspan(set, k_) + "th partitions generate a sublattice of size " + std::to_string(c);
    }
    return "  |[" + indexListQuad(set) + "-th partitions}]| = " + std::to_string(c);
  }

  Program program_;
  std::int32_t k_;
};

}  // namespace

int runSampler(Program program, int argc, const char* const* argv) {
  initTable(kLargeLimits);
  initParams(program, argc, argv);
  loadTable(program);
  checkTable();
  const PartitionTable& tab = table();
  const std::int32_t k = program == Program::Kspan ? params().k : 4;
  if (tab.N < k) {
    fatalError("The list holds " + std::to_string(tab.N) + (tab.N == 1 ? " partition" : " partitions") +
               ", too few for sets of " + std::to_string(k) +
               " distinct ones; use a larger base set" + (program == Program::Kspan ? " or a smaller subset size." : "."));
  }

  Console& con = console();
  OutputFile& out = runFiles().output;
  const RunClock start = readRunClock();
  const std::string banner = bannerLine(program);
  con.line(banner);
  out.line(banner);
  writeStartLine(start);

  const SampleTotals totals = Sampler(program, k).run();
  const std::vector<std::string> report = samplerReport(program, k, totals, tab.ne, tab.N);
  writeReport(report);

  const RunClock end = readRunClock();
  con.line();
  out.line();
  const double seconds = elapsedSeconds(start, end);
  writeElapsedLine(con, seconds);
  writeElapsedLine(out, seconds);
  finishRun(false);
  return kExitOk;
}

}  // namespace equ
