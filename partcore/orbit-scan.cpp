// orbit-scan.cpp - closure sizes of a scan's four-sets, closed once per orbit
// of canonical triples under the renamings of the base set.
#include "partcore/orbit-scan.hpp"

#include <algorithm>
#include <numeric>
#include <thread>

#include "partcore/engine.hpp"
#include "partcore/table.hpp"

namespace equ {

namespace {

constexpr std::int32_t kMaxElements = 7;  // 7! renamings; the scan holds at most Part(7)

// Block numbers of the elements in order of first appearance, 3 bits each.
std::uint32_t packBlocks(const std::uint8_t* blockOf, std::int32_t n) {
  std::uint8_t renumber[kMaxElements];
  std::fill(renumber, renumber + kMaxElements, 0xFF);
  std::uint8_t next = 0;
  std::uint32_t key = 0;
  for (std::int32_t e = 0; e < n; ++e) {
    std::uint8_t& b = renumber[blockOf[e]];
    if (b == 0xFF) b = next++;
    key |= static_cast<std::uint32_t>(b) << (3 * e);
  }
  return key;
}

}  // namespace

OrbitScanner::OrbitScanner(const ClosureEngine& engine) : engine_(engine) {
  const PartitionTable& tab = table();
  n_ = tab.ne;
  N_ = tab.N;
  const auto n = static_cast<std::size_t>(n_);
  const auto cols = static_cast<std::size_t>(N_) + 1;

  // Block number of every element in every partition, and the way back.
  std::vector<std::uint8_t> blockOf(cols * n, 0);
  std::vector<std::uint16_t> indexOfKey(std::size_t{1} << (3 * n_), 0);
  for (std::int32_t x = 1; x <= N_; ++x) {
    const std::uint8_t* c = tab.code(x);
    std::uint8_t block = 0;
    for (std::int32_t p = 0; p < tab.L && c[p] != 0; ++p) {
      if (c[p] == 1) {
        ++block;
      } else {
        blockOf[static_cast<std::size_t>(x) * n + c[p] - 2u] = block;
      }
    }
    indexOfKey[packBlocks(&blockOf[static_cast<std::size_t>(x) * n], n_)] = static_cast<std::uint16_t>(x);
  }

  // Every renaming of the elements, in lexicographic order (its id is its rank).
  std::vector<std::uint8_t> perm(n);
  std::iota(perm.begin(), perm.end(), std::uint8_t{0});
  do {
    perms_.insert(perms_.end(), perm.begin(), perm.end());
  } while (std::next_permutation(perm.begin(), perm.end()));
  renamings_ = static_cast<std::int32_t>(perms_.size() / std::max<std::size_t>(n, 1));

  // What each renaming makes of each partition: element e goes to perm[e].
  act_.assign(static_cast<std::size_t>(renamings_) * static_cast<std::size_t>(N_), 0);
  std::vector<std::uint8_t> moved(n);
  for (std::int32_t q = 0; q < renamings_; ++q) {
    const std::uint8_t* pq = &perms_[static_cast<std::size_t>(q) * n];
    for (std::int32_t x = 1; x <= N_; ++x) {
      for (std::size_t e = 0; e < n; ++e) moved[pq[e]] = blockOf[static_cast<std::size_t>(x) * n + e];
      act_[static_cast<std::size_t>(q) * static_cast<std::size_t>(N_) + static_cast<std::size_t>(x - 1)] =
          indexOfKey[packBlocks(moved.data(), n_)];
    }
  }
  std::vector<std::uint16_t> all(static_cast<std::size_t>(renamings_));
  std::iota(all.begin(), all.end(), std::uint16_t{0});
  const Orbits top = orbitsUnder(all);
  toLeast_ = top.renaming;
  level1_.resize(cols);
  for (std::int32_t x = 1; x <= N_; ++x) {
    if (top.least[static_cast<std::size_t>(x)] != x) continue;
    std::vector<std::uint16_t> group;
    for (std::uint16_t q = 0; q < renamings_; ++q) {
      if (act(q, x) == x) group.push_back(q);
    }
    level1_[static_cast<std::size_t>(x)] = std::make_unique<Orbits>(orbitsUnder(group));
  }
}

OrbitScanner::~OrbitScanner() = default;

OrbitScanner::Orbits OrbitScanner::orbitsUnder(const std::vector<std::uint16_t>& group) const {
  Orbits o;
  const auto cols = static_cast<std::size_t>(N_) + 1;
  o.least.assign(cols, 0xFFFF);
  o.renaming.assign(cols, 0);
  o.group = group;
  for (const std::uint16_t q : group) {
    for (std::int32_t y = 1; y <= N_; ++y) {
      const auto image = static_cast<std::uint16_t>(act(q, y));
      if (image < o.least[static_cast<std::size_t>(y)]) {
        o.least[static_cast<std::size_t>(y)] = image;
        o.renaming[static_cast<std::size_t>(y)] = q;
      }
    }
  }
  return o;
}

std::uint16_t OrbitScanner::compose(std::uint16_t after, std::uint16_t first) const {
  const auto n = static_cast<std::size_t>(n_);
  const std::uint8_t* a = &perms_[static_cast<std::size_t>(after) * n];
  const std::uint8_t* f = &perms_[static_cast<std::size_t>(first) * n];
  std::uint8_t c[kMaxElements];
  for (std::size_t e = 0; e < n; ++e) c[e] = a[f[e]];
  // Lexicographic rank (Lehmer code), the id of the composed renaming.
  std::uint32_t rank = 0;
  for (std::size_t i = 0; i < n; ++i) {
    std::uint32_t smaller = 0;
    for (std::size_t j = i + 1; j < n; ++j) smaller += c[j] < c[i] ? 1u : 0u;
    rank = rank * static_cast<std::uint32_t>(n - i) + smaller;
  }
  return static_cast<std::uint16_t>(rank);
}

const OrbitScanner::PairLevel& OrbitScanner::pairLevel(std::int32_t r1, std::int32_t r2) const {
  const auto key = static_cast<std::uint32_t>(r1) << 16 | static_cast<std::uint32_t>(r2);
  std::lock_guard<std::mutex> lock(pairsMutex_);
  auto it = pairs_.find(key);
  if (it != pairs_.end()) return *it->second;
  const Orbits& o1 = *level1_[static_cast<std::size_t>(r1)];
  std::vector<std::uint16_t> group;
  for (const std::uint16_t q : o1.group) {
    if (act(q, r2) == r2) group.push_back(q);
  }
  auto level = std::make_unique<PairLevel>();
  level->orbits = orbitsUnder(group);
  level->sizes = std::make_unique<std::atomic<const std::uint16_t*>[]>(static_cast<std::size_t>(N_) + 1);
  for (std::int32_t y = 0; y <= N_; ++y) level->sizes[static_cast<std::size_t>(y)].store(nullptr);
  const PairLevel& result = *level;
  pairs_.emplace(key, std::move(level));
  return result;
}

namespace {
// Marks a slot whose sizes one thread is computing; the others wait for them.
const std::uint16_t* const kBeingClosed = reinterpret_cast<const std::uint16_t*>(&kMaxElements);
}  // namespace

const std::uint16_t* OrbitScanner::tripleSizes(const PairLevel& level, std::int32_t r1, std::int32_t r2,
                                               std::int32_t r3, EngineWorkspace& ws) const {
  std::atomic<const std::uint16_t*>& slot = level.sizes[static_cast<std::size_t>(r3)];
  const std::uint16_t* known = slot.load(std::memory_order_acquire);
  if (known != nullptr && known != kBeingClosed) return known;
  // Neighbouring rows of a scan meet the same canonical triples: one thread
  // closes a triple while the others wait, so no closure is done twice.
  const std::uint16_t* expected = nullptr;
  if (!slot.compare_exchange_strong(expected, kBeingClosed, std::memory_order_acq_rel)) {
    while ((known = slot.load(std::memory_order_acquire)) == kBeingClosed) std::this_thread::yield();
    return known;
  }

  auto sizes = std::make_unique<std::uint16_t[]>(static_cast<std::size_t>(N_) + 1);
  std::int32_t set[4] = {r1, r2, r3, 0};
  const auto c3 = static_cast<std::uint16_t>(engine_.closeSet(set, 3, ws));
  for (std::int32_t y = 1; y <= N_; ++y) {
    if (y == r1 || y == r2 || y == r3) {
      sizes[static_cast<std::size_t>(y)] = c3;
      continue;
    }
    set[3] = y;
    sizes[static_cast<std::size_t>(y)] = static_cast<std::uint16_t>(engine_.closeSet(set, 4, ws));
  }
  const std::uint16_t* mine = sizes.get();
  {
    std::lock_guard<std::mutex> lock(storeMutex_);
    store_.push_back(std::move(sizes));
  }
  slot.store(mine, std::memory_order_release);
  triplesClosed_.fetch_add(1, std::memory_order_relaxed);
  return mine;
}

void OrbitScanner::scanPair(std::int32_t i1, std::int32_t i2, std::vector<std::int32_t>& sizes,
                            EngineWorkspace& ws) const {
  const std::uint16_t s1 = toLeast_[static_cast<std::size_t>(i1)];
  const std::int32_t r1 = act(s1, i1);
  const Orbits& o1 = *level1_[static_cast<std::size_t>(r1)];
  const std::int32_t y2 = act(s1, i2);
  const std::int32_t r2 = o1.least[static_cast<std::size_t>(y2)];
  const std::uint16_t p2 = compose(o1.renaming[static_cast<std::size_t>(y2)], s1);
  const PairLevel& level = pairLevel(r1, r2);
  for (std::int32_t i3 = i2 + 1; i3 <= N_; ++i3) {
    const std::int32_t y3 = act(p2, i3);
    const std::int32_t r3 = level.orbits.least[static_cast<std::size_t>(y3)];
    const std::uint16_t p3 = compose(level.orbits.renaming[static_cast<std::size_t>(y3)], p2);
    const std::uint16_t* f = tripleSizes(level, r1, r2, r3, ws);
    const std::uint16_t* image = act_.data() + static_cast<std::size_t>(p3) * static_cast<std::size_t>(N_);
    for (std::int32_t i4 = i3 + 1; i4 <= N_; ++i4) sizes.push_back(f[image[i4 - 1]]);
  }
}

}  // namespace equ
