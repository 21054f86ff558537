// table.hpp - partition codes, the per-program limits and the partition table A0.
// A code is W bytes: element e is byte e + 1, 1 closes a block, 0 ends the code and fills it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "frontend/platform.hpp"

namespace equ {

// What a program can hold: the largest base set nmax, the code width
// W = 2 nmax + 1 and the capacity bnnmax of the table and of a subset.
// Each program hands its own values to initTable; the code is shared.
struct CoreLimits {
  std::int32_t nmax;
  std::int32_t width;
  std::int32_t bnnmax;
};
// kspan and quadspan-rand: every partition of up to 10 elements (115975) fits.
inline constexpr CoreLimits kLargeLimits{10, 21, 115976};
// quadspan-scan and quadspan-sieve: up to 7 elements, 877 partitions.
inline constexpr CoreLimits kSmallLimits{7, 15, 877};

inline constexpr std::int32_t kMaxWidth = 21;  // widest code of any program

// A work code, wide enough for every program; positions beyond W are unused.
// Position p of the code (counting from 1) is bytes[p - 1].
struct PartitionCode {
  std::array<std::uint8_t, kMaxWidth> bytes{};
  std::uint8_t* data() { return bytes.data(); }
  const std::uint8_t* data() const { return bytes.data(); }
};

// Zero bytes taken from the system as untouched pages: a table of 2.4 MB
// costs nothing beyond the pages its partitions fill (clearing it, page by
// page, took longer than loading Part(8)).
class ZeroedBytes {
 public:
  void assignZeros(std::size_t size);
  std::size_t size() const { return size_; }
  std::uint8_t* data() { return bytes_.get(); }
  const std::uint8_t* data() const { return bytes_.get(); }
  std::uint8_t* begin() { return bytes_.get(); }
  std::uint8_t* end() { return bytes_.get() + size_; }

 private:
  struct Free {
    void operator()(std::uint8_t* p) const;
  };
  std::unique_ptr<std::uint8_t[], Free> bytes_;
  std::size_t size_ = 0;
};

// The process-wide partition table and its run-wide numbers. A0 is allocated
// once at full capacity (bnnmax x W bytes); entries count from 1.
struct PartitionTable {
  CoreLimits limits{kLargeLimits};
  ZeroedBytes A0;
  std::int32_t N = 0;   // number of partitions in A0
  std::int32_t ne = 0;  // n, the number of elements of the base set
  std::int32_t M = 0;   // n + 1, the largest element byte
  std::int32_t L = 0;   // 2n + 1, the code length compared and printed

  std::int32_t W() const { return limits.width; }
  std::uint8_t* code(std::int32_t index) {
    return A0.data() + static_cast<std::size_t>(index - 1) * static_cast<std::size_t>(limits.width);
  }
  const std::uint8_t* code(std::int32_t index) const {
    return A0.data() + static_cast<std::size_t>(index - 1) * static_cast<std::size_t>(limits.width);
  }
};

PartitionTable& table();
// Allocates A0 for the given limits and empties the table (N = n = 0).
void initTable(const CoreLimits& limits);
// Sets n and the numbers derived from it (M = n + 1, L = 2n + 1).
void setElementCount(std::int32_t n);

// Compares positions 1..L as unsigned bytes: 0 equal, 1 when a is smaller, 2 when larger.
std::int32_t compareCodes(const std::uint8_t* a, const std::uint8_t* b);
// True when positions 1..L are equal.
bool equalCodes(const std::uint8_t* a, const std::uint8_t* b);
// Writes positions 1..L as numbers (byte - 1) each followed by a blank, with a
// line end after every 20th value and after the last.
void printCode(const std::uint8_t* c, Sink& destination);
// Diagnostic: the element and partition counts, every entry with all W
// positions, then a wait for Enter.
void printTable();

}  // namespace equ
