// engine-bench.cpp - reference and fast closures on the same work, side by side. Without a command
// it runs the Google Benchmark cases; `scan` and `slice` measure whole scans and i1 slices for bench/compare.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "partcore/engine.hpp"
#include "partcore/parallel.hpp"
#include "partcore/subset.hpp"
#include "partcore/table.hpp"
#include "partgen/partgen.hpp"

namespace {

using equ::ClosureEngine;
using equ::EngineWorkspace;

// Part(n) in the table (capacity of the small programs up to 7 elements),
// and the engine built from it; both kept while n stays the same.
const ClosureEngine& usePart(int n) {
  static int loaded = 0;
  static std::unique_ptr<ClosureEngine> engine;
  if (loaded != n) {
    const equ::CoreLimits limits = n <= 7 ? equ::kSmallLimits : equ::kLargeLimits;
    equ::initTable(limits);
    const std::vector<std::uint8_t> codes = equ::partitionCodes(n, limits.width);
    std::copy(codes.begin(), codes.end(), equ::table().A0.begin());
    equ::table().N = static_cast<std::int32_t>(codes.size() / static_cast<std::size_t>(limits.width));
    equ::setElementCount(n);
    engine.reset();
    engine = std::make_unique<ClosureEngine>();
    loaded = n;
  }
  return *engine;
}

std::vector<std::array<std::int32_t, 8>> randomSets(std::int32_t N, int k, int count, std::uint64_t seed) {
  std::mt19937_64 rng(seed);
  std::vector<std::array<std::int32_t, 8>> sets(static_cast<std::size_t>(count));
  for (auto& s : sets) {
    for (int i = 0; i < k; ++i) {
      for (;;) {
        s[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(rng() % static_cast<std::uint64_t>(N)) + 1;
        if (std::find(s.begin(), s.begin() + i, s[static_cast<std::size_t>(i)]) == s.begin() + i) break;
      }
    }
  }
  return sets;
}

std::int32_t referenceClose(const std::int32_t* set, int k, bool memberList) {
  static equ::PartitionSubset subsets[2];
  static bool ready[2] = {false, false};
  static std::int32_t readyFor[2] = {0, 0};
  equ::PartitionSubset& s = subsets[memberList ? 1 : 0];
  if (!ready[memberList ? 1 : 0] || readyFor[memberList ? 1 : 0] != equ::table().N) {
    equ::initSubset(s, memberList);
    ready[memberList ? 1 : 0] = true;
    readyFor[memberList ? 1 : 0] = equ::table().N;
  }
  equ::clearSubset(s);
  for (int i = 0; i < k; ++i) equ::addMember(s, set[i]);
  if (memberList) {
    equ::closeByMemberList(s);
  } else {
    equ::closeByFlagScan(s);
  }
  return s.count;
}

// Closure of a fixed batch of seeded random k-sets of Part(n), the same
// sets for every path, one batch per iteration. path: 0 fast, 1 flag scan,
// 2 member list, 3 fast without the meet and join tables.
void closeRandomSets(benchmark::State& state, int n, int k, int path, int batch) {
  const ClosureEngine& withTables = usePart(n);
  static std::unique_ptr<ClosureEngine> withoutTables;
  if (path == 3 && (!withoutTables || withoutTables->elementCount() != n))
    withoutTables = std::make_unique<ClosureEngine>(false);
  const ClosureEngine& engine = path == 3 ? *withoutTables : withTables;
  const bool fast = path == 0 || path == 3;
  const auto sets = randomSets(equ::table().N, k, batch, 12345);
  auto ws = engine.makeWorkspace();
  std::int64_t sum = 0;
  for (auto _ : state) {
    for (const auto& s : sets)
      sum += fast ? engine.closeSet(s.data(), k, *ws) : referenceClose(s.data(), k, path == 2);
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * batch);
}

// All sets {i1, i2, i3, i4} of one (i1, i2) pair: scanPair, or the flag scan per set.
void scanOnePair(benchmark::State& state, int n, std::int32_t i1, std::int32_t i2, bool reference) {
  const ClosureEngine& engine = usePart(n);
  const std::int32_t N = equ::table().N;
  auto ws = engine.makeWorkspace();
  std::vector<std::int32_t> sizes;
  std::int64_t sets = 0;
  for (auto _ : state) {
    sizes.clear();
    if (reference) {
      for (std::int32_t i3 = i2 + 1; i3 <= N; ++i3)
        for (std::int32_t i4 = i3 + 1; i4 <= N; ++i4) {
          const std::int32_t set[] = {i1, i2, i3, i4};
          sizes.push_back(referenceClose(set, 4, false));
        }
    } else {
      engine.scanPair(i1, i2, sizes, *ws);
    }
    sets += static_cast<std::int64_t>(sizes.size());
  }
  state.SetItemsProcessed(sets);
}

void registerCases() {
  for (const int n : {6, 7}) {
    for (const int path : {1, 2, 0}) {
      const char* name = path == 0 ? "fast" : path == 1 ? "reference-flagscan" : "reference-memberlist";
      benchmark::RegisterBenchmark(("close4/part" + std::to_string(n) + "/" + name).c_str(), closeRandomSets, n, 4, path,
                                   256)
          ->Unit(benchmark::kMillisecond);
    }
  }
  // One (i1, i2) row each: Part(6) from the start, Part(7) late enough that
  // the reference finishes in seconds.
  for (const auto& row : std::vector<std::array<int, 3>>{{6, 1, 2}, {6, 3, 50}, {7, 5, 700}}) {
    for (const int reference : {1, 0}) {
      benchmark::RegisterBenchmark(("scanpair/part" + std::to_string(row[0]) + "/i1=" + std::to_string(row[1]) +
                                    ",i2=" + std::to_string(row[2]) + "/" + (reference ? "reference" : "fast"))
                                       .c_str(),
                                   scanOnePair, row[0], row[1], row[2], reference != 0)
          ->Unit(benchmark::kMillisecond);
    }
  }
  // kspan-like: 32 random 4-sets per iteration (a few seconds for the reference).
  benchmark::RegisterBenchmark("kspan4/part8/reference-memberlist", closeRandomSets, 8, 4, 2, 32)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("kspan4/part8/fast-without-tables", closeRandomSets, 8, 4, 3, 32)
      ->Unit(benchmark::kMillisecond);
  // The tables' price: building the engine with them and without.
  benchmark::RegisterBenchmark("engine/part8/build-with-tables", [](benchmark::State& state) {
    usePart(8);
    for (auto _ : state) benchmark::DoNotOptimize(std::make_unique<ClosureEngine>(true));
  })->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("engine/part8/build-without-tables", [](benchmark::State& state) {
    usePart(8);
    for (auto _ : state) benchmark::DoNotOptimize(std::make_unique<ClosureEngine>(false));
  })->Unit(benchmark::kMillisecond);
  for (const int n : {8, 9, 10}) {
    benchmark::RegisterBenchmark(("kspan4/part" + std::to_string(n) + "/fast").c_str(), closeRandomSets, n, 4, 0, 32)
        ->Unit(benchmark::kMillisecond);
  }
}

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// scan n threads [i1 ...]: the fast scan of the given i1 values (all when
// none), split by i2 as quadspan-scan splits it. Prints one line of figures.
int scanCommand(int argc, char** argv) {
  const int n = std::atoi(argv[2]);
  const int threads = argc > 3 ? std::atoi(argv[3]) : 1;
  const ClosureEngine& engine = usePart(n);
  const std::int32_t N = equ::table().N;
  std::vector<std::int32_t> firsts;
  for (int a = 4; a < argc; ++a) firsts.push_back(std::atoi(argv[a]));
  if (firsts.empty())
    for (std::int32_t i1 = 1; i1 <= N; ++i1) firsts.push_back(i1);
  std::vector<std::unique_ptr<EngineWorkspace>> spaces;
  for (int t = 0; t < std::max(threads, 1); ++t) spaces.push_back(engine.makeWorkspace());
  struct Row {
    std::vector<std::int32_t> sizes;
  };
  std::int64_t sets = 0, generating = 0, sum = 0;
  const auto start = std::chrono::steady_clock::now();
  for (const std::int32_t i1 : firsts) {
    equ::runOrdered<Row>(
        threads, N - i1,
        [&](std::int64_t j, Row& row, int worker) {
          row.sizes.clear();
          engine.scanPair(i1, i1 + 1 + static_cast<std::int32_t>(j), row.sizes, *spaces[static_cast<std::size_t>(worker)]);
        },
        [&](std::int64_t, Row& row) {
          for (const std::int32_t c : row.sizes) {
            sum += c;
            generating += c == N ? 1 : 0;
          }
          sets += static_cast<std::int64_t>(row.sizes.size());
          return true;
        });
  }
  const double seconds = secondsSince(start);
  std::printf("{\"n\": %d, \"threads\": %d, \"sets\": %lld, \"generating\": %lld, \"sum\": %lld, \"seconds\": %.3f}\n", n,
              threads, static_cast<long long>(sets), static_cast<long long>(generating), static_cast<long long>(sum),
              seconds);
  return 0;
}

// slice n i1 sample: the reference flag-scan closure on `sample` sets of the
// i1 slice spread evenly over it (every m-th set in scan order), as an
// estimate of the whole slice. Prints one line of figures.
int sliceCommand(int argc, char** argv) {
  const int n = std::atoi(argv[2]);
  const auto i1 = static_cast<std::int32_t>(std::atoi(argv[3]));
  const std::int64_t sample = argc > 4 ? std::atoll(argv[4]) : 20000;
  usePart(n);
  const std::int64_t N = equ::table().N;
  const std::int64_t rest = N - i1;
  const std::int64_t total = rest * (rest - 1) * (rest - 2) / 6;
  const std::int64_t step = std::max<std::int64_t>(1, total / std::max<std::int64_t>(sample, 1));
  std::int64_t at = 0, measured = 0, sum = 0, generating = 0;
  const auto start = std::chrono::steady_clock::now();
  for (std::int32_t i2 = i1 + 1; i2 <= N; ++i2)
    for (std::int32_t i3 = i2 + 1; i3 <= N; ++i3)
      for (std::int32_t i4 = i3 + 1; i4 <= N; ++i4, ++at) {
        if (at % step != 0) continue;
        const std::int32_t set[] = {i1, i2, i3, i4};
        const std::int32_t c = referenceClose(set, 4, false);
        sum += c;
        generating += c == N ? 1 : 0;
        ++measured;
      }
  const double seconds = secondsSince(start);
  std::printf("{\"n\": %d, \"i1\": %d, \"sets\": %lld, \"measured\": %lld, \"generating\": %lld, \"sum\": %lld, "
              "\"seconds\": %.3f, \"estimate\": %.3f}\n",
              n, i1, static_cast<long long>(total), static_cast<long long>(measured), static_cast<long long>(generating),
              static_cast<long long>(sum), seconds, seconds * static_cast<double>(total) / static_cast<double>(measured));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "scan") == 0) return scanCommand(argc, argv);
  if (argc >= 4 && std::strcmp(argv[1], "slice") == 0) return sliceCommand(argc, argv);
  registerCases();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
