// partgen.hpp - writes the partition list file of Part(n), 1 <= n <= 10: every
// partition of {1..n} in ascending code order, in the form the list reader expects.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace equ {

inline constexpr int kPartgenMaxElements = 10;

// The canonical codes of all partitions of {1..n} (1 <= n <= 10), ascending
// under the byte order of the table, each `width` bytes (width >= 2n + 1; the
// bytes after the end mark are 0). Entry i (from 0) starts at i * width.
std::vector<std::uint8_t> partitionCodes(int n, int width);

// The whole list file of Part(n): two header lines, then per partition its
// number line ending in " -1" and a companion line in block notation; CR LF.
void writePartitionList(int n, std::ostream& out);
std::string partitionListText(int n);

// The program: `partgen n [file]`. Writes to out when no file is named; a
// named file is created only when no such name exists. Messages go to err.
// Returns the exit status: 0 on success, 1 for bad usage or a failed write.
int runPartgen(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace equ
