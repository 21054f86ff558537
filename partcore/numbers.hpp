// numbers.hpp - integer reading, checked counters and fixed-point number text.
// Overflow of a checked operation is the platform's "Arithmetic overflow" stop.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace equ {

// Reads a signed 32-bit integer: blanks and tabs first, an optional sign, then
// decimal digits, "$" and hexadecimal digits, or "%" and binary digits, with
// nothing after them. Hexadecimal and binary values may use all 32 bits and are
// read as the signed value with those bits. Returns false for any other text.
bool parseInt32(std::string_view text, std::int32_t& value);

// parseInt32, or the error stop with "\"<text>\" is an invalid integer".
std::int32_t int32OrStop(std::string_view text);

// 32-bit arithmetic with the overflow stop (conversions, n + 1, D x 100, ...).
std::int32_t add32(std::int32_t a, std::int32_t b);
std::int32_t mul32(std::int32_t a, std::int32_t b);

// 64-bit arithmetic with the overflow stop, for run totals (t, g, S and the
// products formed from them), which outgrow 32 bits on real runs.
std::int64_t add64(std::int64_t a, std::int64_t b);
std::int64_t mul64(std::int64_t a, std::int64_t b);

// Fixed point with `decimals` digits after the point, rounded half up on the
// value's shortest decimal form (0.125 with 2 decimals gives 0.13), padded on
// the left with blanks to at least `width` characters and never cut.
std::string formatFixed(double value, int decimals, int width);

}  // namespace equ
