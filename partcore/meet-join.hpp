// meet-join.hpp - meet and join of two partition codes of the current base set.
// Inputs must be canonical; results go to caller buffers (all W positions), canonical,
// with no allocation. No operation reads outside its code, even a malformed one.
#pragma once

#include <array>
#include <cstdint>

#include "partcore/table.hpp"

namespace equ {

// True when element bytes x and y lie in one block of c.
bool sameBlock(std::uint8_t x, std::uint8_t y, const std::uint8_t* c);
void meet(const std::uint8_t* a, const std::uint8_t* b, std::uint8_t* out);
void join(const std::uint8_t* a, const std::uint8_t* b, std::uint8_t* out);
// Sorts positions lo..hi (counting from 1) ascending; bounds outside
// 1 <= lo < hi <= W end the run with "Error /d8uE3bF".
void sortRange(std::int32_t lo, std::int32_t hi, std::uint8_t* c);

// The matrix route: same results, element by element.
// Entry [u][v] for element bytes u, v in 2..nmax + 1.
using EquivMatrix = std::array<std::array<bool, kMaxWidth>, kMaxWidth>;
void codeToMatrix(const std::uint8_t* c, EquivMatrix& e);
void matrixToCode(const EquivMatrix& e, std::uint8_t* out);
void matrixMeet(const std::uint8_t* a, const std::uint8_t* b, std::uint8_t* out);
void matrixJoin(const std::uint8_t* a, const std::uint8_t* b, std::uint8_t* out);

// Diagnostic: meets and joins of 40 random pairs, each followed by a wait.
void showMeetJoin();

}  // namespace equ
