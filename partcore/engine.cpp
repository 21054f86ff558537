// engine.cpp - the fast closure engine: ids by rank, meet and join by table or on block masks,
// closures that stop at the atoms, and the scan of one (i1, i2) pair with shared partial results.
#include "partcore/engine.hpp"

#include <algorithm>
#include <array>
#include <cassert>
#include <cstring>
#include <thread>
#include <vector>

#include "partcore/fatal.hpp"
#include "partcore/table.hpp"

namespace equ {

namespace {

constexpr std::int32_t kMaxElements = ClosureEngine::kMaxElements;

// completions[r][m]: how many restricted growth strings continue a prefix
// whose largest block number is m by r more elements.
struct Completions {
  std::int64_t v[kMaxElements + 1][kMaxElements + 2] = {};
  constexpr Completions() {
    for (int m = 0; m <= kMaxElements + 1; ++m) v[0][m] = 1;
    for (int r = 1; r <= kMaxElements; ++r)
      for (int m = 0; m <= kMaxElements; ++m) v[r][m] = (m + 1) * v[r - 1][m] + v[r - 1][m + 1];
  }
};
constexpr Completions kCompletions;

constexpr std::uint32_t kFactorial[kMaxElements] = {1, 1, 2, 6, 24, 120, 720, 5040, 40320, 362880};
constexpr std::uint16_t kNone = 0xFFFF;

// The least element of each element's block, read as a number in base i!
// (element 0's block always starts at 0): a name below n! for the partition.
inline std::uint32_t leastIndex(const std::uint16_t* m, std::int32_t n) {
  std::uint32_t at = 0;
  for (std::int32_t i = 1; i < n; ++i) at += static_cast<std::uint32_t>(__builtin_ctz(m[i])) * kFactorial[i];
  return at;
}

inline bool hasBit(const std::uint64_t* bits, std::int32_t z) {
  return (bits[z >> 6] >> (z & 63)) & 1U;
}
inline void setBit(std::uint64_t* bits, std::int32_t z) {
  bits[z >> 6] |= std::uint64_t{1} << (z & 63);
}
inline bool intersects(const std::uint64_t* a, const std::uint64_t* b, std::int32_t words) {
  for (std::int32_t w = 0; w < words; ++w)
    if ((a[w] & b[w]) != 0) return true;
  return false;
}

[[noreturn]] void notPartN() { fatalError("(Code-zNtQwPlc) internal error"); }

}  // namespace

ClosureEngine::ClosureEngine(bool buildTables, std::int32_t threads) {
  const PartitionTable& t = table();
  n_ = t.ne;
  N_ = t.N;
  if (n_ < 1 || n_ > kMaxElements || N_ != kCompletions.v[n_ - 1][0]) notPartN();
  nAtoms_ = n_ * (n_ - 1) / 2;
  words_ = (N_ + 63) / 64;
  for (int i = 1; i < n_; ++i)
    for (int c = 1; c <= i; ++c)
      rankStep_[i][c] = static_cast<std::int32_t>(kCompletions.v[n_ - 1 - i][c - 1]);

  layout_.assign(static_cast<std::size_t>(N_), Layout{});
  blocks_.assign(static_cast<std::size_t>(N_), 0);
  idOfIndex_.assign(static_cast<std::size_t>(N_) + 1, 0);
  indexOfId_.assign(static_cast<std::size_t>(N_), 0);
  std::vector<std::uint8_t> seen(static_cast<std::size_t>(N_), 0);
  const std::int32_t width = t.W();
  for (std::int32_t index = 1; index <= N_; ++index) {
    // Decode the code into the block mask of every element. The table was
    // checked before, but a code that is not a partition of the base set
    // must not reach the closures, so this walk trusts nothing.
    const std::uint8_t* c = t.code(index);
    std::array<std::uint16_t, kMaxElements> m{};
    std::uint16_t block = 0;
    std::uint16_t placed = 0;
    std::int32_t blockCount = 0;
    std::int32_t p = 0;
    for (; p < width && c[p] != 0; ++p) {
      if (c[p] == 1) {
        if (block == 0) notPartN();
        for (std::uint16_t rest = block; rest != 0; rest &= static_cast<std::uint16_t>(rest - 1))
          m[static_cast<std::size_t>(__builtin_ctz(rest))] = block;
        block = 0;
        ++blockCount;
        continue;
      }
      const std::int32_t e = c[p] - 2;
      if (e < 0 || e >= n_ || ((placed >> e) & 1U) != 0) notPartN();
      placed = static_cast<std::uint16_t>(placed | (1U << e));
      block = static_cast<std::uint16_t>(block | (1U << e));
    }
    if (block != 0 || placed != (1U << n_) - 1U) notPartN();
    const std::int32_t id = rankOfMasks(m.data());
    if (seen[static_cast<std::size_t>(id)] != 0) notPartN();
    seen[static_cast<std::size_t>(id)] = 1;
    idOfIndex_[static_cast<std::size_t>(index)] = id;
    indexOfId_[static_cast<std::size_t>(id)] = index;
    Layout& l = layout_[static_cast<std::size_t>(id)];
    std::copy(m.begin(), m.begin() + n_, l.mask);
    for (std::int32_t i = 0; i < n_; ++i)
      if (__builtin_ctz(m[static_cast<std::size_t>(i)]) == i && m[static_cast<std::size_t>(i)] != (1U << i))
        l.merge[l.mergeCount++] = m[static_cast<std::size_t>(i)];
    blocks_[static_cast<std::size_t>(id)] = static_cast<std::uint8_t>(blockCount);
  }

  // Each element's block is named by its least element, a number below the
  // element's own: read in base i!, these name every partition by an index
  // below n!. Up to 9 elements one table maps that index to the id (709 KB
  // for Part(9)); for 10, a first table names the partition of the first 9
  // elements and a second one adds where the tenth goes (1.6 MB in all).
  const std::int32_t restricted = std::min(n_, kLeastTableElements);
  idOfLeast_.assign(kFactorial[restricted - 1] * static_cast<std::uint32_t>(restricted), kNone);
  std::int32_t restrictions = 0;
  if (n_ > kLeastTableElements) {
    const auto bell9 = static_cast<std::size_t>(kCompletions.v[kLeastTableElements - 1][0]);
    lastLevel_.assign(bell9 * kMaxElements, 0);
  }
  for (std::int32_t id = 0; id < N_; ++id) {
    const std::uint32_t at = leastIndex(layout_[static_cast<std::size_t>(id)].mask, n_);
    if (n_ <= kLeastTableElements) {
      idOfLeast_[at] = static_cast<std::uint16_t>(id);
      continue;
    }
    const std::uint32_t low = at % kFactorial[kLeastTableElements];
    if (idOfLeast_[low] == kNone) idOfLeast_[low] = static_cast<std::uint16_t>(restrictions++);
    lastLevel_[static_cast<std::size_t>(idOfLeast_[low]) * kMaxElements + at / kFactorial[kLeastTableElements]] = id;
  }
  // The same index from the blocks of two or more elements: all singletons
  // (element i adds i * i!) plus, for each block B, what naming its
  // elements by B's least element instead of by themselves adds.
  leastOfSingletons_ = static_cast<std::int32_t>(kFactorial[n_ - 1] * static_cast<std::uint32_t>(n_)) - 1;
  leastOfBlock_.assign(std::size_t{1} << n_, 0);
  for (std::uint32_t block = 1; block < (1U << n_); ++block) {
    const auto least = static_cast<std::int32_t>(__builtin_ctz(block));
    std::int32_t change = 0;
    for (std::int32_t i = 0; i < n_; ++i)
      if ((block >> i) & 1U) change += (least - i) * static_cast<std::int32_t>(kFactorial[i]);
    leastOfBlock_[block] = change;
  }

  if (buildTables && N_ <= kTableLimit) {
    // One 32-bit entry per ordered pair holds both results, so a pair
    // costs a single load in the closures.
    const auto n = static_cast<std::size_t>(N_);
    // Not cleared first: every entry is written below, and a big block's
    // pages are then first touched by the threads that fill them.
    pairTable_.reset(new std::uint32_t[n * n]);
    // Square tiles on and above the diagonal, interleaved over the threads;
    // a tile's entries and their mirror images lie on a few cache lines of
    // a few rows, where whole rows and columns would touch a line per entry.
    constexpr std::int32_t kTile = 64;
    const std::int32_t tiles = (N_ + kTile - 1) / kTile;
    auto fillTiles = [this, n, tiles](std::int32_t first, std::int32_t step) {
      std::int32_t at = 0;
      for (std::int32_t tx = 0; tx < tiles; ++tx)
        for (std::int32_t ty = tx; ty < tiles; ++ty, ++at) {
          if (at % step != first) continue;
          const std::int32_t xEnd = std::min(N_, (tx + 1) * kTile);
          const std::int32_t yEnd = std::min(N_, (ty + 1) * kTile);
          for (std::int32_t x = tx * kTile; x < xEnd; ++x)
            for (std::int32_t y = std::max(x, ty * kTile); y < yEnd; ++y) {
              const std::uint32_t v = static_cast<std::uint32_t>(meetIds(x, y)) |
                                      (static_cast<std::uint32_t>(joinIds(x, y)) << 16);
              pairTable_[static_cast<std::size_t>(x) * n + static_cast<std::size_t>(y)] = v;
              pairTable_[static_cast<std::size_t>(y) * n + static_cast<std::size_t>(x)] = v;
            }
        }
    };
    const std::int32_t helpers = N_ >= 1000 ? std::max(threads, 1) - 1 : 0;
    std::vector<std::thread> pool;
    for (std::int32_t w = 1; w <= helpers; ++w) pool.emplace_back(fillTiles, w, helpers + 1);
    fillTiles(0, helpers + 1);
    for (auto& thread : pool) thread.join();
  }
}

std::unique_ptr<EngineWorkspace> ClosureEngine::makeWorkspace() const {
  auto ws = std::make_unique<EngineWorkspace>();
  ws->bits.assign(static_cast<std::size_t>(words_), 0);
  ws->members.assign(static_cast<std::size_t>(N_), 0);
  ws->processed.reserve(static_cast<std::size_t>(N_));
  ws->buckets.resize(static_cast<std::size_t>(n_) + 1);
  return ws;
}

// The rank of the restricted growth string of the partition whose element i
// lies in block m[i]: block numbers are given by first appearance, and the
// rank counts the strings that precede it in lexicographic order. It
// defines the ids; the closures find ids by idAt.
std::int32_t ClosureEngine::rankOfMasks(const std::uint16_t* m) const {
  std::array<std::int32_t, kMaxElements> label{};
  std::int32_t blocksBefore = 0;
  std::int32_t rank = 0;
  for (std::int32_t i = 0; i < n_; ++i) {
    const std::int32_t rep = __builtin_ctz(m[i]);
    std::int32_t lab;
    if (rep == i) {
      lab = blocksBefore;
      label[static_cast<std::size_t>(i)] = lab;
    } else {
      lab = label[static_cast<std::size_t>(rep)];
    }
    rank += lab * rankStep_[i][blocksBefore];
    blocksBefore += rep == i ? 1 : 0;
  }
  return rank;
}

inline std::int32_t ClosureEngine::idAt(std::uint32_t at) const {
  if (n_ <= kLeastTableElements) return idOfLeast_[at];
  return lastLevel_[static_cast<std::size_t>(idOfLeast_[at % kFactorial[kLeastTableElements]]) * kMaxElements +
                    at / kFactorial[kLeastTableElements]];
}

std::int32_t ClosureEngine::meetIds(std::int32_t x, std::int32_t y) const {
  const std::uint16_t* a = layout_[static_cast<std::size_t>(x)].mask;
  const std::uint16_t* b = layout_[static_cast<std::size_t>(y)].mask;
  std::array<std::uint16_t, kMaxElements> m;
  for (std::int32_t i = 0; i < kMaxElements; ++i) m[static_cast<std::size_t>(i)] = a[i] & b[i];
  return idAt(leastIndex(m.data(), n_));
}

// The join keeps the blocks of two or more elements as a list: a block of
// b merges with itself every block of the list it meets (the list's blocks
// are disjoint, so none is met twice); singletons of a that b's block holds
// are inside it already. What is left as singletons needs no list.
std::int32_t ClosureEngine::joinIds(std::int32_t x, std::int32_t y) const {
  const Layout* a = &layout_[static_cast<std::size_t>(x)];
  const Layout* b = &layout_[static_cast<std::size_t>(y)];
  if (a->mergeCount < b->mergeCount) std::swap(a, b);
  // At most n/2 blocks of two or more elements at any time; one spare slot
  // for the append.
  std::uint16_t list[kMaxElements / 2 + 1];
  std::memcpy(list, a->merge, sizeof a->merge);
  std::int32_t count = a->mergeCount;
  for (std::int32_t j = 0; j < b->mergeCount; ++j) {
    const std::uint16_t block = b->merge[j];
    std::uint16_t joined = block;
    std::int32_t kept = 0;
    for (std::int32_t t = 0; t < count; ++t) {
      const std::uint16_t other = list[t];
      const bool meets = (other & block) != 0;
      joined = static_cast<std::uint16_t>(joined | (meets ? other : 0));
      list[kept] = other;
      kept += meets ? 0 : 1;
    }
    list[kept] = joined;
    count = kept + 1;
  }
  std::int32_t at = leastOfSingletons_;
  for (std::int32_t t = 0; t < count; ++t) at += leastOfBlock_[list[t]];
  return idAt(static_cast<std::uint32_t>(at));
}

// From the tables when there are some, so that checks see their entries.
std::int32_t ClosureEngine::meetIndex(std::int32_t i, std::int32_t j) const {
  const std::int32_t x = idOfIndex_[static_cast<std::size_t>(i)];
  const std::int32_t y = idOfIndex_[static_cast<std::size_t>(j)];
  const std::int32_t z = usesTables() ? static_cast<std::int32_t>(pairAt(x, y) & 0xFFFFU) : meetIds(x, y);
  return indexOfId_[static_cast<std::size_t>(z)];
}

std::int32_t ClosureEngine::joinIndex(std::int32_t i, std::int32_t j) const {
  const std::int32_t x = idOfIndex_[static_cast<std::size_t>(i)];
  const std::int32_t y = idOfIndex_[static_cast<std::size_t>(j)];
  const std::int32_t z = usesTables() ? static_cast<std::int32_t>(pairAt(x, y) >> 16) : joinIds(x, y);
  return indexOfId_[static_cast<std::size_t>(z)];
}

void ClosureEngine::clearSet(EngineWorkspace& ws) const {
  for (std::int32_t p = 0; p < ws.count; ++p)
    ws.bits[static_cast<std::size_t>(ws.members[static_cast<std::size_t>(p)] >> 6)] = 0;
  ws.count = 0;
  ws.atoms = 0;
}

bool ClosureEngine::addId(EngineWorkspace& ws, std::int32_t z) const {
  if (hasBit(ws.bits.data(), z)) return false;
  setBit(ws.bits.data(), z);
  ws.members[static_cast<std::size_t>(ws.count++)] = z;
  ws.atoms += blocks_[static_cast<std::size_t>(z)] == n_ - 1 ? 1 : 0;
  return true;
}

// The innermost loop of every closure: pairs e with others[0..count) and
// adds each meet and join that is new to the set in ws, calling onNew(z)
// after each; a non-zero result of onNew ends the loop and is returned.
template <bool kTables, class OnNew>
inline std::int32_t ClosureEngine::pairWith(EngineWorkspace& ws, std::int32_t e, const std::int32_t* others,
                                            std::size_t count, OnNew&& onNew) const {
  std::uint64_t* const bits = ws.bits.data();
  // Taking a new element is rare (a few pairs in a hundred); it is kept
  // out of the loop so that the loop itself holds few values.
  auto take = [&ws, bits, this, &onNew](std::int32_t z) __attribute__((noinline)) -> std::int32_t {
    setBit(bits, z);
    ws.members[static_cast<std::size_t>(ws.count++)] = z;
    ws.atoms += blocks_[static_cast<std::size_t>(z)] == n_ - 1 ? 1 : 0;
    return onNew(z);
  };
  if constexpr (kTables) {
    const std::uint32_t* const row = &pairTable_[static_cast<std::size_t>(e) * static_cast<std::size_t>(N_)];
    for (std::size_t q = 0; q < count; ++q) {
      const std::uint32_t v = row[others[q]];
      const std::uint32_t meetId = v & 0xFFFFU;
      const std::uint32_t joinId = v >> 16;
      const std::uint64_t both = (bits[meetId >> 6] >> (meetId & 63)) & (bits[joinId >> 6] >> (joinId & 63));
      if ((both & 1U) != 0) [[likely]] continue;
      if (!hasBit(bits, static_cast<std::int32_t>(meetId))) {
        if (const std::int32_t r = take(static_cast<std::int32_t>(meetId))) return r;
      }
      if (!hasBit(bits, static_cast<std::int32_t>(joinId))) {
        if (const std::int32_t r = take(static_cast<std::int32_t>(joinId))) return r;
      }
    }
  } else {
    for (std::size_t q = 0; q < count; ++q) {
      const std::int32_t other = others[q];
      const std::int32_t meetId = meetIds(e, other);
      // Comparable members meet in the lower and join in the upper one,
      // both members already: the costlier join is left out.
      if (meetId == e || meetId == other) continue;
      if (!hasBit(bits, meetId)) {
        if (const std::int32_t r = take(meetId)) return r;
      }
      const std::int32_t joinId = joinIds(e, other);
      if (!hasBit(bits, joinId)) {
        if (const std::int32_t r = take(joinId)) return r;
      }
    }
  }
  return 0;
}

// Closes the set in ws, taking the unprocessed element with the most blocks
// first. Every element is paired once with each element processed before
// it, so each unordered pair is examined once. Producing low elements early
// makes a generating set show all its atoms soon, and the atoms alone
// generate Equ(n) (with n >= 3 two distinct atoms also meet in the bottom),
// so the closure stops there with N.
template <bool kTables>
std::int32_t ClosureEngine::closeLowestFirst(EngineWorkspace& ws) const {
  if (generatesAll(ws)) return N_;
  std::array<std::size_t, kMaxElements + 1> head{};
  for (auto& b : ws.buckets) b.clear();
  ws.processed.clear();
  for (std::int32_t p = 0; p < ws.count; ++p) {
    const std::int32_t z = ws.members[static_cast<std::size_t>(p)];
    ws.buckets[blocks_[static_cast<std::size_t>(z)]].push_back(z);
  }
  auto onNew = [&](std::int32_t z) -> std::int32_t {
    if (generatesAll(ws)) return N_;
    ws.buckets[blocks_[static_cast<std::size_t>(z)]].push_back(z);
    return 0;
  };
  for (;;) {
    std::size_t level = static_cast<std::size_t>(n_);
    while (level > 0 && head[level] == ws.buckets[level].size()) --level;
    if (level == 0) break;
    const std::int32_t x = ws.buckets[level][head[level]++];
    if (const std::int32_t r = pairWith<kTables>(ws, x, ws.processed.data(), ws.processed.size(), onNew)) return r;
    ws.processed.push_back(x);
  }
  return ws.count;
}

// Closes the set in ws in order of addition, given that members[0..from)
// are already closed among themselves.
template <bool kTables>
std::int32_t ClosureEngine::closeOnto(EngineWorkspace& ws, std::size_t from) const {
  if (generatesAll(ws)) return N_;
  auto onNew = [&](std::int32_t) -> std::int32_t { return generatesAll(ws) ? N_ : 0; };
  for (std::size_t p = from; p < static_cast<std::size_t>(ws.count); ++p) {
    if (const std::int32_t r = pairWith<kTables>(ws, ws.members[p], ws.members.data(), p, onNew)) return r;
  }
  return ws.count;
}

std::int32_t ClosureEngine::closeSet(const std::int32_t* indices, int k, EngineWorkspace& ws) const {
  clearSet(ws);
  for (int i = 0; i < k; ++i) {
    assert(indices[i] >= 1 && indices[i] <= N_);
    addId(ws, idOfIndex_[static_cast<std::size_t>(indices[i])]);
  }
  return usesTables() ? closeLowestFirst<true>(ws) : closeLowestFirst<false>(ws);
}

// In scanPair every closure D(x) of {i1, i2, i3, x} contains C3, the closure
// of {i1, i2, i3}, and is closed from it. Two facts cut the work short:
//   - for u, v in D(x), the closure of {i1, i2, u, v} lies inside D(x); so
//     when it is known to be all of Part(n), so is D(x);
//   - for z in D(x), D(z) lies inside D(x); when also x is in D(z), the two
//     are equal. A known, larger D(z) also serves as a closed starting point.
// Returns the size of D(x); sameAs is set when D(x) equals a recorded set.
template <bool kTables>
std::int32_t ClosureEngine::closeWithRecords(EngineWorkspace& ws, std::int32_t x, std::int32_t c3Size,
                                             const std::uint64_t*& sameAs) const {
  const auto words = static_cast<std::size_t>(words_);
  if (intersects(&ws.completes[static_cast<std::size_t>(x) * words], ws.bits.data(), words_)) return N_;
  addId(ws, x);
  if (generatesAll(ws)) return N_;
  std::size_t p = static_cast<std::size_t>(c3Size);
  std::int32_t best = -1;
  std::int32_t bestSize = 0;
  // What a new element z tells: 0 when nothing, else the size of D(x).
  auto onNew = [&](std::int32_t z) -> std::int32_t {
    if (generatesAll(ws)) return N_;
    const auto zi = static_cast<std::size_t>(z);
    if (ws.recordStamp[zi] == ws.row) {
      const std::int32_t r = ws.recordSize[zi];
      if (r == N_) return N_;
      const std::uint64_t* rb = &ws.recordBits[zi * words];
      if (hasBit(rb, x)) {
        sameAs = rb;
        return r;
      }
      if (r > bestSize) {
        best = z;
        bestSize = r;
      }
    }
    if (intersects(&ws.completes[zi * words], ws.bits.data(), words_)) return N_;
    return 0;
  };
  while (p < static_cast<std::size_t>(ws.count)) {
    if (const std::int32_t r = pairWith<kTables>(ws, ws.members[p], ws.members.data(), p, onNew)) return r;
    ++p;
    if (best >= 0 && static_cast<std::size_t>(bestSize) > p) {
      // Restart from the recorded closed set: it replaces the processed
      // prefix, and every member outside it is queued behind it.
      const std::uint64_t* rb = &ws.recordBits[static_cast<std::size_t>(best) * words];
      ws.spare.clear();
      for (std::int32_t i = 0; i < ws.count; ++i) {
        const std::int32_t z = ws.members[static_cast<std::size_t>(i)];
        if (!hasBit(rb, z)) ws.spare.push_back(z);
      }
      clearSet(ws);
      for (std::size_t w = 0; w < words; ++w)
        for (std::uint64_t b = rb[w]; b != 0; b &= b - 1)
          addId(ws, static_cast<std::int32_t>(w * 64 + static_cast<std::size_t>(__builtin_ctzll(b))));
      p = static_cast<std::size_t>(ws.count);
      for (const std::int32_t z : ws.spare) addId(ws, z);
      if (generatesAll(ws)) return N_;
      best = -1;
      bestSize = 0;
    }
  }
  return ws.count;
}

template <bool kTables>
void ClosureEngine::scanPairImpl(std::int32_t i1, std::int32_t i2, std::vector<std::int32_t>& sizes,
                                 EngineWorkspace& ws) const {
  const std::int32_t a1 = idOfIndex_[static_cast<std::size_t>(i1)];
  const std::int32_t a2 = idOfIndex_[static_cast<std::size_t>(i2)];
  const auto words = static_cast<std::size_t>(words_);
  const bool records = N_ <= kTableLimit;
  if (records && ws.recordStamp.empty()) {
    const auto n = static_cast<std::size_t>(N_);
    ws.recordStamp.assign(n, 0);
    ws.recordSize.assign(n, 0);
    ws.recordBits.assign(n * words, 0);
    ws.completes.assign(n * words, 0);
    ws.base.reserve(n);
    ws.spare.reserve(n);
  }
  // The pairs that complete {i1, i2} are only valid for this pair.
  for (const std::int32_t u : ws.completesTouched)
    std::fill_n(&ws.completes[static_cast<std::size_t>(u) * words], words, 0);
  ws.completesTouched.clear();
  auto noteCompletes = [&](std::int32_t u, std::int32_t v) {
    std::uint64_t* row = &ws.completes[static_cast<std::size_t>(u) * words];
    bool fresh = true;
    for (std::size_t w = 0; w < words && fresh; ++w) fresh = row[w] == 0;
    if (fresh) ws.completesTouched.push_back(u);
    setBit(row, v);
  };

  for (std::int32_t i3 = i2 + 1; i3 <= N_; ++i3) {
    const std::int32_t a3 = idOfIndex_[static_cast<std::size_t>(i3)];
    clearSet(ws);
    addId(ws, a1);
    addId(ws, a2);
    addId(ws, a3);
    const std::int32_t c3 = closeOnto<kTables>(ws, 0);
    if (c3 == N_) {
      sizes.insert(sizes.end(), static_cast<std::size_t>(N_ - i3), N_);
      continue;
    }
    ws.base.assign(ws.members.begin(), ws.members.begin() + ws.count);
    const std::int32_t c3Atoms = ws.atoms;
    if (records && ++ws.row == 0) {
      std::fill(ws.recordStamp.begin(), ws.recordStamp.end(), 0);
      ws.row = 1;
    }
    for (std::int32_t i4 = i3 + 1; i4 <= N_; ++i4) {
      const std::int32_t x = idOfIndex_[static_cast<std::size_t>(i4)];
      std::int32_t c;
      if (hasBit(ws.bits.data(), x)) {
        c = c3;
      } else if (!records) {
        addId(ws, x);
        c = closeOnto<kTables>(ws, static_cast<std::size_t>(c3));
      } else {
        const std::uint64_t* sameAs = nullptr;
        c = closeWithRecords<kTables>(ws, x, c3, sameAs);
        const auto xi = static_cast<std::size_t>(x);
        ws.recordStamp[xi] = ws.row;
        ws.recordSize[xi] = c;
        if (c < N_) {
          std::copy_n(sameAs != nullptr ? sameAs : ws.bits.data(), words, &ws.recordBits[xi * words]);
        } else {
          noteCompletes(a3, x);
          noteCompletes(x, a3);
        }
      }
      sizes.push_back(c);
      // Back to C3: drop what this closure added, or rebuild C3 when the
      // closure restarted from another set.
      const bool prefixKept = ws.count >= c3 && std::equal(ws.base.begin(), ws.base.end(), ws.members.begin());
      if (prefixKept) {
        for (std::int32_t p = c3; p < ws.count; ++p) {
          const std::int32_t z = ws.members[static_cast<std::size_t>(p)];
          ws.bits[static_cast<std::size_t>(z >> 6)] &= ~(std::uint64_t{1} << (z & 63));
        }
        ws.count = c3;
        ws.atoms = c3Atoms;
      } else {
        clearSet(ws);
        for (const std::int32_t z : ws.base) addId(ws, z);
      }
    }
  }
}

void ClosureEngine::scanPair(std::int32_t i1, std::int32_t i2, std::vector<std::int32_t>& sizes,
                             EngineWorkspace& ws) const {
  assert(1 <= i1 && i1 < i2 && i2 <= N_);
  const auto rest = static_cast<std::size_t>(N_ - i2);
  sizes.reserve(sizes.size() + rest * (rest - (rest > 0 ? 1 : 0)) / 2);
  if (usesTables())
    scanPairImpl<true>(i1, i2, sizes, ws);
  else
    scanPairImpl<false>(i1, i2, sizes, ws);
}

}  // namespace equ
