// table.cpp - the partition table, code comparison and code printing.
#include "partcore/table.hpp"

#include <cstdlib>
#include <new>
#include <string>

namespace equ {

PartitionTable& table() {
  static PartitionTable t;
  return t;
}

void ZeroedBytes::assignZeros(std::size_t size) {
  bytes_.reset(static_cast<std::uint8_t*>(std::calloc(size == 0 ? 1 : size, 1)));
  if (!bytes_) throw std::bad_alloc();
  size_ = size;
}

void ZeroedBytes::Free::operator()(std::uint8_t* p) const { std::free(p); }

void initTable(const CoreLimits& limits) {
  PartitionTable& t = table();
  t.limits = limits;
  t.A0.assignZeros(static_cast<std::size_t>(limits.bnnmax) * static_cast<std::size_t>(limits.width));
  t.N = 0;
  setElementCount(0);
}

void setElementCount(std::int32_t n) {
  PartitionTable& t = table();
  t.ne = n;
  t.M = n + 1;
  t.L = 2 * n + 1;
}

std::int32_t compareCodes(const std::uint8_t* a, const std::uint8_t* b) {
  const std::int32_t L = table().L;
  // Position 1 is compared even for an empty table (L = 1).
  for (std::int32_t i = 0; i < (L > 0 ? L : 1); ++i) {
    if (a[i] != b[i]) return a[i] < b[i] ? 1 : 2;
  }
  return 0;
}

bool equalCodes(const std::uint8_t* a, const std::uint8_t* b) {
  const std::int32_t L = table().L;
  for (std::int32_t i = 0; i < L; ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

void printCode(const std::uint8_t* c, Sink& destination) {
  const std::int32_t L = table().L;
  std::string text;
  for (std::int32_t i = 1; i <= L; ++i) {
    text += std::to_string(static_cast<int>(c[i - 1]) - 1);
    text += ' ';
    if (i % 20 == 0) {
      destination.line(text);
      text.clear();
    }
  }
  destination.line(text);  // after the last value (L is odd, so never a 20th)
}

void printTable() {
  const PartitionTable& t = table();
  Console& con = console();
  con.line("Number of elements = " + std::to_string(t.ne) + ",  number of partitions = " +
           std::to_string(t.N));
  for (std::int32_t i = 1; i <= t.N; ++i) {
    const std::uint8_t* c = t.code(i);
    std::string text;
    for (std::int32_t p = 0; p < t.W(); ++p) {
      text += std::to_string(static_cast<int>(c[p]) - 1);
      text += ' ';
    }
    con.line(text);
  }
  waitForEnter();
}

}  // namespace equ
