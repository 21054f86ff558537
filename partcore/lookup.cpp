// lookup.cpp - index of a code in the ascending table by binary search with an
// alternating midpoint, and the self-test that every entry is found in place.
#include "partcore/lookup.hpp"

#include <string>

#include "partcore/fatal.hpp"
#include "partcore/subset.hpp"
#include "partcore/table.hpp"

namespace equ {

std::int32_t placeInSetCounted(const std::uint8_t* p, std::int32_t& probes) {
  const PartitionTable& t = table();
  probes = 0;
  if (t.N < 1) return 0;
  std::int32_t lo = 1;
  std::int32_t hi = t.N;
  std::int32_t alternate = 0;
  // The range ends sit on probed entries; these say whether p is already known
  // to differ from A0[lo] (p above it) or from A0[hi] (p below it). A present
  // code lies in lo..hi without the known ends, so once that is empty the code
  // is absent. Re-probing an end gives the same answer, so the search always
  // shrinks within two probes and never leaves 1..N.
  bool loDiffers = false;
  bool hiDiffers = false;
  for (;;) {
    if (lo + (loDiffers ? 1 : 0) > hi - (hiDiffers ? 1 : 0)) return 0;
    const std::int32_t mid = (lo + hi) / 2 + alternate;
    alternate = 1 - alternate;
    ++probes;
    const std::int32_t r = compareCodes(p, t.code(mid));
    if (r == 0) return mid;
    if (r == 1) {
      hi = mid;
      hiDiffers = true;
    } else {
      lo = mid;
      loDiffers = true;
    }
  }
}

std::int32_t placeInSet(const std::uint8_t* p) {
  std::int32_t probes = 0;
  return placeInSetCounted(p, probes);
}

bool flagOfCode(const std::uint8_t* p, const PartitionSubset& s) {
  const std::int32_t k = placeInSet(p);
  if (k < 1 || static_cast<std::size_t>(k) >= s.flags.size()) return false;
  return s.flags[static_cast<std::size_t>(k)] != 0;
}

void testPlaceInSet() {
  const PartitionTable& t = table();
  Console& con = console();
  PartitionCode p;
  for (std::int32_t i = 1; i <= t.N; ++i) {
    con.line("Processing i =" + std::to_string(i));
    const std::uint8_t* entry = t.code(i);
    for (std::int32_t b = 0; b < t.W(); ++b) p.bytes[static_cast<std::size_t>(b)] = entry[b];
    if (placeInSet(p.data()) != i) {
      con.line();
      const std::int32_t r = placeInSet(p.data());
      con.line("i= " + std::to_string(i));
      con.write("A0[i]: ");
      printCode(p.data(), con);
      con.line("placeInSet(p)= " + std::to_string(r));
      if (r >= 1 && r <= t.N) {
        con.write("A0[" + std::to_string(r) + "]: ");
        printCode(t.code(r), con);
      }
      fatalError("(Code-uZt) placeInSet error");
    }
    con.line("Processed i =" + std::to_string(i));
  }
  con.line("placeInSet works without problems");
  waitForEnter();
}

}  // namespace equ
