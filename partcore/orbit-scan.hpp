// orbit-scan.hpp - closure sizes of all four-sets of a scan, found through the
// symmetry of the base set: renaming the elements maps a four-set onto one that
// generates a sublattice of the same size, so sizes are closed once per orbit.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace equ {

class ClosureEngine;
struct EngineWorkspace;

// For a table of all partitions of n <= 7 elements. Safe to use from several
// threads at once, each with its own engine workspace.
//
// Each ordered triple (i1, i2, i3) is renamed, one index at a time, to a
// canonical triple (r1, r2, r3): r1 is the least index in the orbit of i1,
// r2 the least in the orbit of the renamed i2 under the renamings that fix
// r1, and r3 likewise under those that fix r1 and r2. For each canonical
// triple the sizes of the closures of {r1, r2, r3, y} are computed once, for
// every y; the size for {i1, i2, i3, i4} is then the one for y = the renamed i4.
class OrbitScanner {
 public:
  explicit OrbitScanner(const ClosureEngine& engine);
  ~OrbitScanner();
  OrbitScanner(const OrbitScanner&) = delete;
  OrbitScanner& operator=(const OrbitScanner&) = delete;

  // The sizes for every set {i1, i2, i3, i4}, i2 < i3 < i4 <= N, appended in
  // lexicographic order of (i3, i4).
  void scanPair(std::int32_t i1, std::int32_t i2, std::vector<std::int32_t>& sizes, EngineWorkspace& ws) const;

  // Canonical triples closed so far (for measurements).
  std::int64_t triplesClosed() const { return triplesClosed_.load(); }

 private:
  // Renamings that fix a canonical r1 (and r2): for every index y, the least
  // index of its orbit under them and one renaming that takes y there.
  struct Orbits {
    std::vector<std::uint16_t> least;
    std::vector<std::uint16_t> renaming;
    std::vector<std::uint16_t> group;  // the renamings themselves
  };
  // A canonical pair with its orbits and, per r3, the sizes once closed.
  struct PairLevel {
    Orbits orbits;
    std::unique_ptr<std::atomic<const std::uint16_t*>[]> sizes;
  };

  Orbits orbitsUnder(const std::vector<std::uint16_t>& group) const;
  const PairLevel& pairLevel(std::int32_t r1, std::int32_t r2) const;
  const std::uint16_t* tripleSizes(const PairLevel& level, std::int32_t r1, std::int32_t r2, std::int32_t r3,
                                   EngineWorkspace& ws) const;
  std::uint16_t compose(std::uint16_t after, std::uint16_t first) const;
  std::int32_t act(std::uint16_t renaming, std::int32_t index) const {
    return act_[static_cast<std::size_t>(renaming) * static_cast<std::size_t>(N_) + static_cast<std::size_t>(index - 1)];
  }

  const ClosureEngine& engine_;
  std::int32_t n_ = 0;
  std::int32_t N_ = 0;
  std::int32_t renamings_ = 0;               // n!
  std::vector<std::uint8_t> perms_;          // renaming id -> images of the n elements (0-based)
  std::vector<std::uint16_t> act_;           // [renaming][index - 1] -> index
  std::vector<std::uint16_t> toLeast_;       // index -> a renaming taking it to the least of its orbit
  std::vector<std::unique_ptr<Orbits>> level1_;  // by canonical r1 (least of its orbit)
  mutable std::mutex pairsMutex_;
  mutable std::unordered_map<std::uint32_t, std::unique_ptr<PairLevel>> pairs_;
  mutable std::mutex storeMutex_;
  mutable std::vector<std::unique_ptr<std::uint16_t[]>> store_;
  mutable std::atomic<std::int64_t> triplesClosed_{0};
};

}  // namespace equ
