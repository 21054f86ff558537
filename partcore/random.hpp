// random.hpp - the pseudo-random generator of the samplers: xoshiro256**,
// seeded through splitmix64, with unbiased bounded draws. The same seed gives
// the same sequence on every machine and with every standard library.
#pragma once

#include <cstdint>

namespace equ {

class Random {
 public:
  explicit Random(std::uint64_t seed) {
    for (auto& word : state_) word = splitMix(seed);
  }

  std::uint64_t next() {
    const std::uint64_t result = rotl(state_[1] * 5, 7) * 9;
    const std::uint64_t t = state_[1] << 17;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= t;
    state_[3] = rotl(state_[3], 45);
    return result;
  }

  // Uniform on 0..bound-1 (bound >= 1), without modulo bias: multiply-shift
  // with rejection of the few values that would favour low results.
  std::uint32_t below(std::uint32_t bound) {
    std::uint64_t m = (next() >> 32) * bound;
    auto low = static_cast<std::uint32_t>(m);
    if (low < bound) {
      const std::uint32_t threshold = (0u - bound) % bound;
      while (low < threshold) {
        m = (next() >> 32) * bound;
        low = static_cast<std::uint32_t>(m);
      }
    }
    return static_cast<std::uint32_t>(m >> 32);
  }

 private:
  static std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
  static std::uint64_t splitMix(std::uint64_t& x) {
    std::uint64_t z = (x += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  std::uint64_t state_[4];
};

}  // namespace equ
