// numbers.cpp - integer reading, checked counters and fixed-point number text.
#include "partcore/numbers.hpp"

#include <charconv>
#include <cmath>
#include <limits>
#include <vector>

#include "frontend/platform.hpp"

namespace equ {

bool parseInt32(std::string_view text, std::int32_t& value) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  unsigned base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  } else if (i < text.size() && text[i] == '%') {
    base = 2;
    ++i;
  }
  if (i == text.size()) return false;  // empty, a lone sign or a lone prefix
  std::uint64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    unsigned digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<unsigned>(c - '0');
    } else if (c >= 'a' && c <= 'f') {
      digit = static_cast<unsigned>(c - 'a' + 10);
    } else if (c >= 'A' && c <= 'F') {
      digit = static_cast<unsigned>(c - 'A' + 10);
    } else {
      return false;
    }
    if (digit >= base) return false;
    magnitude = magnitude * base + digit;
    if (magnitude > 0xFFFFFFFFull) return false;
  }
  if (base == 10) {
    const std::uint64_t limit = negative ? 2147483648ull : 2147483647ull;
    if (magnitude > limit) return false;
    const std::int64_t v = negative ? -static_cast<std::int64_t>(magnitude)
                                    : static_cast<std::int64_t>(magnitude);
    value = static_cast<std::int32_t>(v);
    return true;
  }
  // Hexadecimal and binary digits give the 32 bits of the value.
  const auto bits = static_cast<std::uint32_t>(magnitude);
  const std::uint32_t signedBits = negative ? 0u - bits : bits;
  value = static_cast<std::int32_t>(signedBits);
  return true;
}

std::int32_t int32OrStop(std::string_view text) {
  std::int32_t v = 0;
  if (!parseInt32(text, v)) {
    std::string message = "\"";
    message.append(text);
    message.append("\" is an invalid integer");
    errorStop(message);
  }
  return v;
}

namespace {
[[noreturn]] void overflow() { errorStop("Arithmetic overflow"); }
}  // namespace

std::int32_t add32(std::int32_t a, std::int32_t b) {
  std::int32_t r = 0;
  if (__builtin_add_overflow(a, b, &r)) overflow();
  return r;
}

std::int32_t mul32(std::int32_t a, std::int32_t b) {
  std::int32_t r = 0;
  if (__builtin_mul_overflow(a, b, &r)) overflow();
  return r;
}

std::int64_t add64(std::int64_t a, std::int64_t b) {
  std::int64_t r = 0;
  if (__builtin_add_overflow(a, b, &r)) overflow();
  return r;
}

std::int64_t mul64(std::int64_t a, std::int64_t b) {
  std::int64_t r = 0;
  if (__builtin_mul_overflow(a, b, &r)) overflow();
  return r;
}

std::string formatFixed(double value, int decimals, int width) {
  std::string text;
  if (std::isnan(value) || std::isinf(value)) {
    text = std::isnan(value) ? "Nan" : (value < 0 ? "-Inf" : "+Inf");
  } else {
    // The shortest decimal form that reads back as this double: its digits
    // are the "decimal value" that is rounded, so 0.125 gives 0.13.
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value),
                                   std::chars_format::scientific);
    const std::string_view sci(buf, static_cast<std::size_t>(res.ptr - buf));
    const std::size_t ePos = sci.find('e');
    std::string mantissa;
    for (char c : sci.substr(0, ePos)) {
      if (c != '.') mantissa.push_back(c);
    }
    int exponent = 0;
    std::from_chars(sci.data() + ePos + 1 + (sci[ePos + 1] == '+' ? 1 : 0),
                    sci.data() + sci.size(), exponent);
    // Digit of weight 10^p is mantissa[exponent - p], or 0 outside it.
    auto digitAt = [&](int p) -> int {
      const int idx = exponent - p;
      if (idx < 0 || idx >= static_cast<int>(mantissa.size())) return 0;
      return mantissa[static_cast<std::size_t>(idx)] - '0';
    };
    const int top = exponent > 0 ? exponent : 0;
    std::vector<int> digits;  // weights top .. -decimals
    for (int p = top; p >= -decimals; --p) digits.push_back(digitAt(p));
    if (digitAt(-decimals - 1) >= 5) {
      std::size_t i = digits.size();
      bool carry = true;
      while (carry && i > 0) {
        --i;
        if (++digits[i] == 10) {
          digits[i] = 0;
        } else {
          carry = false;
        }
      }
      if (carry) digits.insert(digits.begin(), 1);
    }
    const std::size_t intDigits = digits.size() - static_cast<std::size_t>(decimals);
    bool allZero = true;
    for (int d : digits) allZero = allZero && d == 0;
    if (value < 0 && !allZero) text.push_back('-');
    std::size_t first = 0;  // drop leading zeros of the integer part, keep one
    while (first + 1 < intDigits && digits[first] == 0) ++first;
    for (std::size_t i = first; i < intDigits; ++i) text.push_back(static_cast<char>('0' + digits[i]));
    if (decimals > 0) {
      text.push_back('.');
      for (std::size_t i = intDigits; i < digits.size(); ++i) {
        text.push_back(static_cast<char>('0' + digits[i]));
      }
    }
  }
  if (static_cast<int>(text.size()) < width) {
    text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
  }
  return text;
}

}  // namespace equ
