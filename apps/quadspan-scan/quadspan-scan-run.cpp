// quadspan-scan-run.cpp - the scan of all four-sets {i1 < i2 < i3 < i4}.
// Work is split by i2 within one i1 and written back in scan order, so every
// thread count writes the same files as one thread.
#include "quadspan-scan/quadspan-scan-run.hpp"

#include <memory>

#include "frontend/params.hpp"
#include "frontend/platform.hpp"
#include "frontend/run-clock.hpp"
#include "frontend/setup.hpp"
#include "frontend/stop-key.hpp"
#include "partcore/engine.hpp"
#include "partcore/orbit-scan.hpp"
#include "partcore/exit-status.hpp"
#include "partcore/fatal.hpp"
#include "partcore/numbers.hpp"
#include "partcore/parallel.hpp"
#include "partcore/subset.hpp"
#include "partcore/table-check.hpp"
#include "partcore/table.hpp"

namespace equ {

std::vector<std::string> scanReport(std::int32_t n, std::int32_t N, std::int64_t g, std::int64_t t,
                                    std::int64_t S) {
  double A = 0.0, M = 0.0, P = 0.0;
  if (t > 0) {
    A = static_cast<double>(S) / static_cast<double>(t);
    M = A * 100.0 / static_cast<double>(N);
    P = static_cast<double>(mul64(g, 100)) / static_cast<double>(t);
  }
  const std::string ns = std::to_string(n);
  return {
      "n=" + ns + ",  number of 4-element generating sets: " + std::to_string(g),
      "    which is " + formatFixed(P, 4, 3) + "% of |{all 4-element subsets}|=" + std::to_string(t),
      "Also, |Part(" + ns + ")|=" + std::to_string(N) + "; |{4-element subset}|'s average=",
      formatFixed(A, 2, 30) + ", which is " + formatFixed(M, 4, 3) + "% of |Part(" + ns + ")|.",
  };
}

namespace {

// The closure sizes of all sets {i1, i2, i3, i4}, i3 < i4, in scan order.
class PairScanner {
 public:
  virtual ~PairScanner() = default;
  virtual void scanPair(std::int32_t i1, std::int32_t i2, std::vector<std::int32_t>& sizes) = 0;
};

// The straightforward flag-scan closure of every set on one work subset.
class ReferenceScanner final : public PairScanner {
 public:
  ReferenceScanner() { initSubset(work_, false); }
  void scanPair(std::int32_t i1, std::int32_t i2, std::vector<std::int32_t>& sizes) override {
    sizes.clear();
    const std::int32_t N = table().N;
    for (std::int32_t i3 = i2 + 1; i3 <= N; ++i3) {
      for (std::int32_t i4 = i3 + 1; i4 <= N; ++i4) {
        clearSubset(work_);
        addMember(work_, i1);
        addMember(work_, i2);
        addMember(work_, i3);
        addMember(work_, i4);
        closeByFlagScan(work_);
        sizes.push_back(work_.count);
      }
    }
  }

 private:
  PartitionSubset work_;
};

// The fast path: sizes through the renamings of the base set, each canonical
// triple closed once by the engine.
class FastScanner final : public PairScanner {
 public:
  FastScanner(const ClosureEngine& engine, const OrbitScanner& orbits)
      : orbits_(orbits), ws_(engine.makeWorkspace()) {}
  void scanPair(std::int32_t i1, std::int32_t i2, std::vector<std::int32_t>& sizes) override {
    sizes.clear();
    orbits_.scanPair(i1, i2, sizes, *ws_);
  }

 private:
  const OrbitScanner& orbits_;
  std::unique_ptr<EngineWorkspace> ws_;
};

struct ScanTotals {
  std::int64_t g = 0, t = 0, S = 0;
  std::int32_t s = 1, e = 0;
};

ScanTotals scanQuadruples() {
  const PartitionTable& tab = table();
  const std::int32_t N = tab.N;
  const std::int32_t V = params().V;
  ScanTotals r;
  r.s = readStartIndex(N);

  const bool reference = params().referenceClosure;
  const int threads = reference ? 1 : threadCount();
  std::unique_ptr<ClosureEngine> engine;
  std::unique_ptr<OrbitScanner> orbits;
  if (!reference) {
    engine = std::make_unique<ClosureEngine>();
    orbits = std::make_unique<OrbitScanner>(*engine);
  }
  std::vector<std::unique_ptr<PairScanner>> scanners;
  for (int i = 0; i < threads; ++i) {
    if (reference) {
      scanners.push_back(std::make_unique<ReferenceScanner>());
    } else {
      scanners.push_back(std::make_unique<FastScanner>(*engine, *orbits));
    }
  }

  Console& con = console();
  OutputFile& out = runFiles().output;
  const std::string equTail = "}-th partitions generate Equ(" + std::to_string(tab.ne) + ").";
  bool endRecorded = false;
  beginRunKeys();
  for (std::int32_t i1 = r.s; i1 <= N; ++i1) {
    if (stopRequested) {
      if (!endRecorded) {
        r.e = i1 - 1;
        endRecorded = true;
      }
      continue;
    }
    const std::string p1 = "i1=" + std::to_string(i1) + " i2=";
    auto work = [&](std::int64_t j, std::vector<std::int32_t>& sizes, int worker) {
      scanners[static_cast<std::size_t>(worker)]->scanPair(i1, i1 + 1 + static_cast<std::int32_t>(j), sizes);
    };
    auto deliver = [&](std::int64_t j, std::vector<std::int32_t>& sizes) {
      const std::int32_t i2 = i1 + 1 + static_cast<std::int32_t>(j);
      con.line(p1 + std::to_string(i2));
      std::size_t next = 0;
      for (std::int32_t i3 = i2 + 1; i3 <= N; ++i3) {
        if (stopRequested) {
          con.line(p1 + std::to_string(i2) + " i3=" + std::to_string(i3) + "; wait for termination!");
        }
        // The totals of a row are summed apart and added with their checks
        // once: this loop runs on the delivering thread for every set, beside
        // the threads that close them.
        std::int64_t rowSum = 0;
        std::int64_t rowGenerating = 0;
        for (std::int32_t i4 = i3 + 1; i4 <= N; ++i4) {
          const std::int32_t c = sizes[next++];
          pollStopKey();
          rowSum += c;
          // Each result line goes out in one write, line end included: the
          // file buffer may reach the disk between two writes, and a scan
          // killed just then must not leave half a line for the sieve.
          if (c == N) {
            ++rowGenerating;
            if (V >= 2) {
              out.write("The {" + std::to_string(i1) + ", " + std::to_string(i2) + ", " + std::to_string(i3) + ", " +
                        std::to_string(i4) + equTail + "\r\n");
            }
          }
          if (V >= 3) {
            out.write("  |[{" + std::to_string(i1) + ", " + std::to_string(i2) + ", " + std::to_string(i3) + ", " +
                      std::to_string(i4) + "}-th partitions}]| = " + std::to_string(c) + "\r\n");
          }
        }
        r.S = add64(r.S, rowSum);
        r.t = add64(r.t, N - i3);
        r.g = add64(r.g, rowGenerating);
      }
      return true;
    };
    runOrdered<std::vector<std::int32_t>>(threads, N - i1, work, deliver);
    // Every finished i1 is on disk: a scan that is killed can be continued from the next one.
    out.flush();
  }
  endRunKeys();
  if (!endRecorded) r.e = N;
  return r;
}

}  // namespace

int runQuadspanScan(int argc, const char* const* argv) {
  initTable(kSmallLimits);
  initParams(Program::QuadspanScan, argc, argv);
  loadTable(Program::QuadspanScan);
  checkTable();
  const PartitionTable& tab = table();
  Console& con = console();
  OutputFile& out = runFiles().output;

  const RunClock start = readRunClock();
  const std::string banner = bannerLine(Program::QuadspanScan);
  con.line(banner);
  out.line(banner);
  writeStartLine(start);

  const ScanTotals r = scanQuadruples();
  const std::vector<std::string> report = scanReport(tab.ne, tab.N, r.g, r.t, r.S);
  const bool wholeRange = r.s == 1 && r.e == tab.N;
  if (!wholeRange) {
    const std::string warning = "WARNING: only for " + std::to_string(r.s) + " <= i1 <= " + std::to_string(r.e) +
                                " !        WARNING !!!";
    out.line(warning);
    con.line(warning);
  }
  writeReport(report);

  const RunClock end = readRunClock();
  con.line();
  out.line();
  writeEndLine(end);
  const double seconds = elapsedSeconds(start, end);
  writeElapsedLine(con, seconds);
  out.line();
  writeElapsedLine(out, seconds);
  finishRun(true);

  if (wholeRange) {
    const std::int64_t N = tab.N;
    const std::int64_t subsets = mul64(mul64(mul64(N - 1, N), N - 2), N - 3) / 24;
    if (subsets != r.t) fatalError("Wrong input file, code: (fijWDzhRhGt)");
  }
  return kExitOk;
}

}  // namespace equ
