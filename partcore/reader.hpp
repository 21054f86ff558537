// reader.hpp - the partition list file reader: two header lines, then one
// partition line and one companion line per partition. Fills A0, N, n, M, L.
#pragma once

#include <cstdint>

#include "frontend/platform.hpp"

namespace equ {

struct ReaderOptions {
  bool echoHeaders = false;     // quadspan-scan writes "h text" for both header lines
  bool progressCommas = false;  // kspan, quadspan-rand: commas, then a line end
  std::int32_t commaStep = 0;   // one comma per |commaStep| partitions; 0 writes none
};

// Reads the whole list file from its first line. Every malformed file ends the
// run through fatalError with its coded message; so do a line of more than W
// numbers, more than bnnmax partitions and a base set larger than nmax
// ("Too big base set. Check nmax among the constants."). Nothing is ever
// stored beyond a code or beyond the table.
void readTable(TextReader& input, const ReaderOptions& options);

// Reads the next line of input into code (W positions).
void parseCodeLine(TextReader& input, std::uint8_t* code);

}  // namespace equ
