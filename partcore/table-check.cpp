// table-check.cpp - refuses a table that would make "generates Equ(n)" wrong:
// a code not canonical over 1..n, codes out of order, or partitions missing.
#include "partcore/table-check.hpp"

#include <string>

#include "partcore/fatal.hpp"
#include "partcore/table.hpp"

namespace equ {
namespace {

constexpr const char* kPrefix = "The partition list cannot be used: ";

// The list file has two header lines, then two lines per partition.
std::string lineOf(std::int32_t index) { return std::to_string(2 * std::int64_t{index} + 1); }

[[noreturn]] void refuse(std::int32_t index, const char* what) {
  fatalError(std::string(kPrefix) + "the partition on line " + lineOf(index) + " " + what);
}

// Canonical over 1..n: blocks of ascending elements, each closed by 1 and
// ordered by least element, every element 2..M exactly once, then the end
// mark and 0 up to W.
bool isCanonical(const std::uint8_t* c, std::int32_t M, std::int32_t W) {
  bool seen[256] = {};
  std::int32_t elements = 0;
  std::int32_t p = 0;
  std::uint8_t lastLeast = 0;
  while (p < W && c[p] != 0) {
    const std::uint8_t least = c[p];
    if (least == 1 || least <= lastLeast) return false;  // an empty block, or out of order
    std::uint8_t prev = 1;
    while (p < W && c[p] > 1) {
      const std::uint8_t e = c[p];
      if (e > M || e <= prev || seen[e]) return false;
      seen[e] = true;
      ++elements;
      prev = e;
      ++p;
    }
    if (p == W || c[p] != 1) return false;  // a block without its closing 1
    lastLeast = least;
    ++p;
  }
  if (p == W) return false;  // no end mark
  for (; p < W; ++p) {
    if (c[p] != 0) return false;
  }
  return elements == M - 1;
}

}  // namespace

std::int64_t bellNumber(std::int32_t n) {
  if (n < 0 || n > 25) return 0;
  // The Bell triangle: row r starts with Bell(r), the last entry of row r - 1.
  // Row n itself is not built: its later entries outgrow 64 bits at n = 25.
  std::int64_t row[26] = {1};
  for (std::int32_t r = 1; r <= n; ++r) {
    std::int64_t next[26] = {row[r - 1]};
    if (r < n) {
      for (std::int32_t j = 1; j <= r; ++j) next[j] = next[j - 1] + row[j - 1];
    }
    for (std::int32_t j = 0; j <= r; ++j) row[j] = next[j];
  }
  return row[0];
}

void checkTable() {
  const PartitionTable& t = table();
  const std::int32_t n = t.ne;
  if (t.N < 1) fatalError(std::string(kPrefix) + "it holds no partition.");
  if (n < 1) refuse(1, "holds no element; the base set needs at least one.");
  if (n > t.limits.nmax) {
    fatalError("Too big base set. Check nmax among the constants.");
  }
  for (std::int32_t i = 1; i <= t.N; ++i) {
    if (!isCanonical(t.code(i), t.M, t.W())) {
      refuse(i, "is not in canonical form.");
    }
    if (i > 1 && compareCodes(t.code(i - 1), t.code(i)) != 1) {
      refuse(i, "is not above the one before it.");
    }
  }
  const std::int64_t bell = bellNumber(n);
  if (t.N != bell) {
    fatalError(std::string(kPrefix) + "it holds " + std::to_string(t.N) +
               (t.N == 1 ? " partition" : " partitions") + ", but a set of " +
               std::to_string(n) + (n == 1 ? " element has " : " elements has ") + std::to_string(bell) +
               ".");
  }
}

}  // namespace equ
