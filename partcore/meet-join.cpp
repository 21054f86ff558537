// meet-join.cpp - meet and join on partition codes, the matrix route that must
// agree with them, and the demonstration. Every scan is bounded by W.
#include "partcore/meet-join.hpp"

#include <algorithm>
#include <string>

#include "partcore/fatal.hpp"

namespace equ {
namespace {

// Element bytes run 2..M. A table holds at most nmax elements, so clamping M
// keeps every result within W positions even if n were set out of range.
std::int32_t elementTop() {
  const PartitionTable& t = table();
  return std::min(t.M, t.limits.nmax + 1);
}

// Availability of the element bytes 2..M in one call; indexed by byte value.
using ElementFlags = std::array<bool, kMaxWidth + 1>;

}  // namespace

bool sameBlock(std::uint8_t x, std::uint8_t y, const std::uint8_t* c) {
  if (y < x) std::swap(x, y);
  const std::int32_t W = table().W();
  std::int32_t i = 0;
  while (i < W && c[i] != x) ++i;
  if (i == W) return false;  // x is not in this code
  // y can only follow x inside x's block; the block ends at its 1, and a code
  // that lacks the 1 ends at its end mark or at W.
  for (; i < W; ++i) {
    if (c[i] == y) return true;
    if (c[i] <= 1) return false;
  }
  return false;
}

void meet(const std::uint8_t* a, const std::uint8_t* b, std::uint8_t* out) {
  const std::int32_t M = elementTop();
  const std::int32_t W = table().W();
  ElementFlags available{};
  for (std::int32_t e = 2; e <= M; ++e) available[static_cast<std::size_t>(e)] = true;
  std::int32_t k = 0;
  for (std::int32_t i = 2; i <= M; ++i) {
    if (!available[static_cast<std::size_t>(i)]) continue;
    out[k++] = static_cast<std::uint8_t>(i);
    available[static_cast<std::size_t>(i)] = false;
    for (std::int32_t j = i + 1; j <= M; ++j) {
      const auto ib = static_cast<std::uint8_t>(i);
      const auto jb = static_cast<std::uint8_t>(j);
      if (available[static_cast<std::size_t>(j)] && sameBlock(ib, jb, a) && sameBlock(ib, jb, b)) {
        available[static_cast<std::size_t>(j)] = false;
        out[k++] = jb;
      }
    }
    out[k++] = 1;
  }
  // n elements and at most n block ends: k <= 2n < W, so the end mark fits.
  for (std::int32_t p = k; p < W; ++p) out[p] = 0;
}

void join(const std::uint8_t* a, const std::uint8_t* b, std::uint8_t* out) {
  const std::int32_t M = elementTop();
  const std::int32_t n = M - 1;
  const std::int32_t W = table().W();
  for (std::int32_t p = 0; p < W; ++p) out[p] = 0;
  ElementFlags available{};
  for (std::int32_t e = 2; e <= M; ++e) available[static_cast<std::size_t>(e)] = true;
  std::int32_t placed = 0;
  std::int32_t k = 0;  // positions count from 1 here: out[k - 1] is the last written
  auto append = [&](std::int32_t e) {
    ++k;
    out[k - 1] = static_cast<std::uint8_t>(e);
    available[static_cast<std::size_t>(e)] = false;
    ++placed;
  };
  auto linked = [&](std::int32_t x, std::int32_t j) {
    const auto xb = static_cast<std::uint8_t>(x);
    const auto jb = static_cast<std::uint8_t>(j);
    return sameBlock(xb, jb, a) || sameBlock(xb, jb, b);
  };
  for (std::int32_t i = 2; i <= M; ++i) {
    if (!available[static_cast<std::size_t>(i)]) continue;
    append(i);  // the least element of a new block
    const std::int32_t start = k;
    std::int32_t from = k + 1;
    for (std::int32_t j = i + 1; j <= M; ++j) {
      if (available[static_cast<std::size_t>(j)] && linked(i, j)) append(j);
    }
    if (k > start) {
      // Breadth first: each pass examines what the previous one appended.
      for (;;) {
        const std::int32_t to = k;
        for (std::int32_t m = from; m <= to; ++m) {
          for (std::int32_t j = i + 1; j <= M; ++j) {
            if (available[static_cast<std::size_t>(j)] && linked(out[m - 1], j)) append(j);
          }
        }
        from = to + 1;
        if (k < from || placed >= n) break;
      }
    }
    if (start + 1 < k) sortRange(start + 1, k, out);
    ++k;
    out[k - 1] = 1;
  }
  // The end mark is already there: out was cleared and k < W.
}

void sortRange(std::int32_t lo, std::int32_t hi, std::uint8_t* c) {
  if (lo < 1 || lo >= hi || hi > table().W()) fatalError("Error /d8uE3bF");
  std::int32_t top = hi;
  bool swapped = true;
  while (swapped && top > lo) {
    swapped = false;
    for (std::int32_t p = lo; p < top; ++p) {
      if (c[p] < c[p - 1]) {
        std::swap(c[p], c[p - 1]);
        swapped = true;
      }
    }
    --top;
  }
}

void codeToMatrix(const std::uint8_t* c, EquivMatrix& e) {
  const std::int32_t M = elementTop();
  const std::int32_t W = table().W();
  for (auto& row : e) row.fill(false);
  for (std::int32_t u = 2; u <= M; ++u) e[static_cast<std::size_t>(u)][static_cast<std::size_t>(u)] = true;
  auto isElement = [&](std::uint8_t v) { return v >= 2 && v <= M; };
  std::int32_t s = 0;
  while (s < W && c[s] != 0) {
    std::int32_t end = s;  // one past the block: its closing 1, the end mark or W
    while (end < W && c[end] > 1) ++end;
    for (std::int32_t u = s; u < end; ++u) {
      for (std::int32_t v = s; v < end; ++v) {
        // A malformed code may hold bytes that are no element; they own no row.
        if (isElement(c[u]) && isElement(c[v])) {
          e[c[u]][c[v]] = true;
          e[c[v]][c[u]] = true;
        }
      }
    }
    if (end == W || c[end] == 0) break;
    s = end + 1;
  }
}

void matrixToCode(const EquivMatrix& e, std::uint8_t* out) {
  const std::int32_t M = elementTop();
  const std::int32_t W = table().W();
  ElementFlags available{};
  for (std::int32_t u = 2; u <= M; ++u) available[static_cast<std::size_t>(u)] = true;
  std::int32_t k = 0;
  for (std::int32_t i = 2; i <= M; ++i) {
    if (!available[static_cast<std::size_t>(i)]) continue;
    out[k++] = static_cast<std::uint8_t>(i);
    available[static_cast<std::size_t>(i)] = false;
    for (std::int32_t j = i + 1; j <= M; ++j) {
      if (available[static_cast<std::size_t>(j)] && e[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)]) {
        out[k++] = static_cast<std::uint8_t>(j);
        available[static_cast<std::size_t>(j)] = false;
      }
    }
    out[k++] = 1;
  }
  for (std::int32_t p = k; p < W; ++p) out[p] = 0;
}

void matrixMeet(const std::uint8_t* a, const std::uint8_t* b, std::uint8_t* out) {
  const auto M = static_cast<std::size_t>(elementTop());
  EquivMatrix e1;
  EquivMatrix e2;
  codeToMatrix(a, e1);
  codeToMatrix(b, e2);
  EquivMatrix e3{};
  for (std::size_t u = 2; u <= M; ++u) {
    for (std::size_t v = 2; v <= M; ++v) e3[u][v] = e1[u][v] && e2[u][v];
  }
  matrixToCode(e3, out);
}

void matrixJoin(const std::uint8_t* a, const std::uint8_t* b, std::uint8_t* out) {
  const auto M = static_cast<std::size_t>(elementTop());
  EquivMatrix e1;
  EquivMatrix e2;
  codeToMatrix(a, e1);
  codeToMatrix(b, e2);
  auto product = [M](const EquivMatrix& x, const EquivMatrix& y, EquivMatrix& z) {
    for (auto& row : z) row.fill(false);
    for (std::size_t u = 2; u <= M; ++u) {
      for (std::size_t v = 2; v <= M; ++v) {
        for (std::size_t w = 2; w <= M && !z[u][v]; ++w) z[u][v] = x[u][w] && y[w][v];
      }
    }
  };
  EquivMatrix p;
  product(e1, e2, p);
  // Both operands are reflexive, so p contains both, and n squarings reach
  // the transitive closure.
  EquivMatrix q = p;
  for (std::size_t round = 2; round <= M; ++round) {
    product(p, p, q);
    p = q;
  }
  matrixToCode(q, out);
}

void showMeetJoin() {
  const PartitionTable& t = table();
  Console& con = console();
  // splitmix64 from the tick count: a demonstration needs no reproducible seed.
  std::uint64_t state = static_cast<std::uint64_t>(monotonicMillis());
  auto draw = [&state](std::int32_t bound) {
    state += 0x9E3779B97F4A7C15ull;
    std::uint64_t z = state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<std::int32_t>(z % static_cast<std::uint64_t>(bound));
  };
  PartitionCode x;
  PartitionCode y;
  PartitionCode r;
  for (std::int32_t round = 1; round <= 40; ++round) {
    if (t.N < 1) break;
    const std::int32_t ix = draw(t.N) + 1;
    const std::int32_t iy = draw(t.N) + 1;
    std::copy_n(t.code(ix), t.W(), x.bytes.begin());
    std::copy_n(t.code(iy), t.W(), y.bytes.begin());
    con.line("Operands:");
    printCode(x.data(), con);
    printCode(y.data(), con);
    con.line(std::to_string(round) + "th. Their meet:");
    meet(x.data(), y.data(), r.data());
    printCode(r.data(), con);
    con.line(std::to_string(round) + "th. Their join:");
    join(x.data(), y.data(), r.data());
    printCode(r.data(), con);
    waitForEnter();
  }
}

}  // namespace equ
