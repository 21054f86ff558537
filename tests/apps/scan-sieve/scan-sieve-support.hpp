// scan-sieve-support.hpp - helpers for the scan and sieve tests: list files of
// Part(n), file lines, and independent answers computed in the test itself.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "frontend/setup.hpp"
#include "partcore/part-tables.hpp"
#include "partcore/subset.hpp"
#include "partgen/partgen.hpp"
#include "quadspan-scan/quadspan-scan-run.hpp"
#include "support/fake-console.hpp"

namespace equ::test {

// The attribution words that end the start and end lines (console copy: a full stop follows).
inline const std::string kNotice = "   equspan, an open toolkit for partition lattices";
inline const std::string kScanBanner = bannerLine(Program::QuadspanScan);

// Number of k-subsets of an N-set, for small k.
inline std::int64_t choose(std::int64_t N, int k) {
  std::int64_t r = 1;
  for (int i = 0; i < k; ++i) r = r * (N - i) / (i + 1);
  return N < k ? 0 : r;
}

// Splits at CR LF; a last piece without a line end is kept as a line.
inline std::vector<std::string> crlfLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t from = 0;
  for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", from)) {
    lines.push_back(text.substr(from, at - from));
    from = at + 2;
  }
  if (from < text.size()) lines.push_back(text.substr(from));
  return lines;
}

inline std::string joinCrlf(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& l : lines) text += l + "\r\n";
  return text;
}

// The lines that begin with "The {": the generating sets of a result file.
inline std::vector<std::string> generatingLines(const std::string& fileText) {
  std::vector<std::string> out;
  for (const auto& l : crlfLines(fileText)) {
    if (l.rfind("The {", 0) == 0) out.push_back(l);
  }
  return out;
}

// "{a, b, c, d}" as the result lines write a four-set.
inline std::string setText(const std::int32_t (&x)[4]) {
  return "{" + std::to_string(x[0]) + ", " + std::to_string(x[1]) + ", " + std::to_string(x[2]) + ", " +
         std::to_string(x[3]) + "}";
}

inline std::string generatingLine(const std::int32_t (&x)[4], int n) {
  return "The " + setText(x) + "-th partitions generate Equ(" + std::to_string(n) + ").";
}

// What a scan should find, worked out in the test with the member-list closure
// (the scan itself uses the fast engine or the flag-scan closure): the
// generating sets, and the result lines the file gets at detail level V.
struct BruteForce {
  std::vector<std::string> generating, resultLines;
  std::int64_t g = 0, t = 0, S = 0;
};

inline BruteForce bruteForceScan(int n, std::int32_t s = 1, int V = 2) {
  loadPart(n, kSmallLimits);
  const std::int32_t N = table().N;
  BruteForce r;
  PartitionSubset work;
  initSubset(work, true);
  std::int32_t x[4];
  for (x[0] = s; x[0] <= N; ++x[0]) {
    for (x[1] = x[0] + 1; x[1] <= N; ++x[1]) {
      for (x[2] = x[1] + 1; x[2] <= N; ++x[2]) {
        for (x[3] = x[2] + 1; x[3] <= N; ++x[3]) {
          clearSubset(work);
          for (const std::int32_t k : x) addMember(work, k);
          closeByMemberList(work);
          ++r.t;
          r.S += work.count;
          const std::string line = generatingLine(x, n);
          if (work.count == N) {
            ++r.g;
            r.generating.push_back(line);
            if (V >= 2) r.resultLines.push_back(line);
          }
          if (V >= 3) {
            r.resultLines.push_back("  |[" + setText(x) + "-th partitions}]| = " + std::to_string(work.count));
          }
        }
      }
    }
  }
  return r;
}

// The output file of a scan, clocks masked, built from independent answers.
inline std::string expectedScanFile(int n, std::int32_t N, const BruteForce& b, const std::string& warning = {}) {
  std::vector<std::string> lines = {kScanBanner, "Computation starts at H:M:S.MS" + kNotice};
  lines.insert(lines.end(), b.resultLines.begin(), b.resultLines.end());
  if (!warning.empty()) lines.push_back(warning);
  lines.insert(lines.end(), {"", ""});
  for (const auto& l : scanReport(n, N, b.g, b.t, b.S)) lines.push_back(l);
  lines.insert(lines.end(), {"", "Computation terminated at H:M:S.MS" + kNotice, "",
                             "The computation & output took <seconds> seconds."});
  return joinCrlf(lines);
}

// Writes Part(n) as `name` in dir.
inline void writePart(const TempDir& dir, int n, const std::string& name) {
  dir.write(name, partitionListText(n));
}

}  // namespace equ::test
