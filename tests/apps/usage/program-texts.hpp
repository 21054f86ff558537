// program-texts.hpp - the console texts the programs write around their work
// (set-up, fatal report, error stop), built from the rules for comparisons.
#pragma once

#include <string>

#include "frontend/params.hpp"
#include "frontend/setup.hpp"

namespace equ::test {

inline std::string programName(Program program) {
  switch (program) {
    case Program::Kspan:
      return "kspan";
    case Program::QuadspanRand:
      return "quadspan-rand";
    case Program::QuadspanScan:
      return "quadspan-scan";
    case Program::QuadspanSieve:
      break;
  }
  return "quadspan-sieve";
}

inline const std::string kHelpText =
    "The program counts random k-element subsets generating Part(n).\r\n"
    "It is controlled by parameters (use a shortcut in Windows).\r\n"
    "The parameters are, in this order:\r\n"
    ": input file (in the same folder) with Part(n); n is implicit in it\r\n"
    ": How much details? (1,2,3,4\r\n"
    "  How many random tests?\r\n"
    "  How frequently print a dot?\r\n"
    "  The size of candidate generating subsets, 2,...,8; default=4).\r\n"
    "\r\n";

// The attribution notice that ends the banner line (its wording is the program's own).
inline std::string attribution(Program program) {
  const std::string banner = bannerLine(program);
  return banner.substr(banner.find("Equ(n); ") + 8);
}

// What a program writes before it reads V: banner, acknowledgement, and for
// the samplers the base-set notice with the empty line after its wait.
inline std::string setupText(Program program) {
  std::string text = bannerLine(program) + "\r\n" + std::string(acknowledgementLine()) + "\r\n";
  if (program == Program::Kspan) text += kHelpText;
  if (program == Program::Kspan || program == Program::QuadspanRand) {
    text += "  ne:=|base set|<=10; check Bell(nmax)<=bnnmax! Press <enter>\r\n\r\n";
  } else if (program == Program::QuadspanScan) {
    text += "\r\n";
  }
  return text;
}

inline std::string fatalText(const std::string& message) {
  return "\a\r\nError in data; possibly/appeared at: \r\n" + message + "\r\n  Press <enter> to quit\r\n";
}

inline std::string errorStopText(const std::string& message) {
  return "\r\nAn unhandled error occurred; the program stops:\r\n" + message + "\r\n";
}

}  // namespace equ::test
