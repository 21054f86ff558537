// partgen.cpp - the Part(n) generator: all partitions of {1..n}, sorted by
// code, written as number lines with block-notation companions; CR LF lines.
#include "partgen/partgen.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <ostream>

namespace equ {
namespace {

// Every partition as a restricted growth string: element e (from 0) lies in
// block rgs[e], and a block number appears only after all smaller ones, so the
// blocks come in the order of their least elements, as in a canonical code.
template <typename Visit>
void forEachGrowthString(int n, Visit visit) {
  std::vector<int> rgs(static_cast<std::size_t>(n), 0);
  std::vector<int> top(static_cast<std::size_t>(n), 0);  // top[e] = max(rgs[0..e-1])
  for (;;) {
    visit(rgs);
    int e = n - 1;
    while (e > 0 && rgs[static_cast<std::size_t>(e)] > top[static_cast<std::size_t>(e)]) --e;
    if (e == 0) return;
    ++rgs[static_cast<std::size_t>(e)];
    for (int f = e + 1; f < n; ++f) {
      rgs[static_cast<std::size_t>(f)] = 0;
      top[static_cast<std::size_t>(f)] =
          std::max(top[static_cast<std::size_t>(f - 1)], rgs[static_cast<std::size_t>(f - 1)]);
    }
  }
}

void writeCode(const std::vector<int>& rgs, std::uint8_t* code) {
  const int n = static_cast<int>(rgs.size());
  const int blocks = n == 0 ? 0 : *std::max_element(rgs.begin(), rgs.end()) + 1;
  std::size_t k = 0;
  for (int b = 0; b < blocks; ++b) {
    for (int e = 0; e < n; ++e) {
      if (rgs[static_cast<std::size_t>(e)] == b) code[k++] = static_cast<std::uint8_t>(e + 2);
    }
    code[k++] = 1;
  }
  code[k] = 0;
}

void appendNumber(std::string& text, long value) {
  char buf[24];
  const int len = std::snprintf(buf, sizeof buf, "%ld", value);
  text.append(buf, static_cast<std::size_t>(len));
}

std::string baseSetText(int n) {
  if (n == 1) return "{1}";
  if (n == 2) return "{1,2}";
  return "{1,...," + std::to_string(n) + "}";
}

void appendList(int n, std::string& text) {
  const int width = 2 * n + 1;
  const std::vector<std::uint8_t> codes = partitionCodes(n, width);
  const std::size_t count = codes.size() / static_cast<std::size_t>(width);
  text.reserve(count * static_cast<std::size_t>(6 * n + 16));
  text += "Part(" + std::to_string(n) + "): the " + std::to_string(count) +
          (count == 1 ? " partition of " : " partitions of ") + baseSetText(n) + " in ascending order\r\n";
  text += "written by equspan partgen; each partition line is followed by its index and blocks\r\n";
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* c = codes.data() + i * static_cast<std::size_t>(width);
    for (int p = 0; c[p] != 0; ++p) {
      appendNumber(text, c[p] - 1);
      text += ' ';
    }
    text += "-1\r\n#";
    appendNumber(text, static_cast<long>(i + 1));
    text += " {";
    for (int p = 0; c[p] != 0; ++p) {
      if (c[p] == 1) {
        text += c[p + 1] == 0 ? "}" : "},{";
      } else {
        if (p > 0 && c[p - 1] != 1) text += ',';
        appendNumber(text, c[p] - 1);
      }
    }
    text += "\r\n";
  }
}

const char kUsage[] =
    "usage: partgen n [file]\n"
    "  writes the partition list file of Part(n), all partitions of {1,...,n} for\n"
    "  1 <= n <= 10, to the file (which must not exist yet) or to standard output\n";

// A whole number 1..10 in plain decimal digits, nothing else.
bool parseElementCount(const std::string& text, int& n) {
  if (text.empty() || text.size() > 2) return false;
  int v = 0;
  for (char ch : text) {
    if (ch < '0' || ch > '9') return false;
    v = v * 10 + (ch - '0');
  }
  if (v < 1 || v > kPartgenMaxElements) return false;
  n = v;
  return true;
}

}  // namespace

std::vector<std::uint8_t> partitionCodes(int n, int width) {
  if (n < 1 || n > kPartgenMaxElements || width < 2 * n + 1) return {};
  const auto w = static_cast<std::size_t>(width);
  std::vector<std::uint8_t> unsorted;
  forEachGrowthString(n, [&](const std::vector<int>& rgs) {
    unsorted.resize(unsorted.size() + w, 0);
    writeCode(rgs, unsorted.data() + unsorted.size() - w);
  });
  const std::size_t count = unsorted.size() / w;
  std::vector<std::uint32_t> order(count);
  std::iota(order.begin(), order.end(), 0u);
  // Unsigned bytewise order is the table's order (end mark < block end < elements).
  std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
    return std::memcmp(unsorted.data() + a * w, unsorted.data() + b * w, w) < 0;
  });
  std::vector<std::uint8_t> codes(unsorted.size());
  for (std::size_t i = 0; i < count; ++i) {
    std::memcpy(codes.data() + i * w, unsorted.data() + order[i] * w, w);
  }
  return codes;
}

std::string partitionListText(int n) {
  std::string text;
  if (n >= 1 && n <= kPartgenMaxElements) appendList(n, text);
  return text;
}

void writePartitionList(int n, std::ostream& out) {
  const std::string text = partitionListText(n);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

int runPartgen(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() == 1 && (args[0] == "-h" || args[0] == "--help")) {
    out << kUsage;
    return 0;
  }
  if (args.empty() || args.size() > 2) {
    err << "partgen: expected the element count n and at most one file name\n" << kUsage;
    return 1;
  }
  int n = 0;
  if (!parseElementCount(args[0], n)) {
    err << "partgen: the element count must be a whole number from 1 to "
        << kPartgenMaxElements << ", not \"" << args[0] << "\"\n";
    return 1;
  }
  const std::string text = partitionListText(n);
  if (args.size() == 1) {
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    if (!out) {
      err << "partgen: could not write the list to standard output\n";
      return 1;
    }
    return 0;
  }
  const std::string& name = args[1];
  // "x": created only when the name is free, so an existing file is never replaced.
  std::FILE* f = std::fopen(name.c_str(), "wbx");
  if (f == nullptr) {
    const int e = errno;
    if (e == EEXIST) {
      err << "partgen: \"" << name << "\" exists already; choose a name that is not taken\n";
    } else {
      err << "partgen: cannot create \"" << name << "\": " << std::strerror(e) << "\n";
    }
    return 1;
  }
  const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  const bool closed = std::fclose(f) == 0;
  if (!written || !closed) {
    const int e = errno;
    // The file is ours and incomplete: leave nothing that looks like a list.
    std::remove(name.c_str());
    err << "partgen: writing \"" << name << "\" failed: " << std::strerror(e) << "\n";
    return 1;
  }
  return 0;
}

}  // namespace equ
