// main.cpp - partgen: writes the partition list file of Part(n).
#include <iostream>
#include <string>
#include <vector>

#include "partgen/partgen.hpp"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return equ::runPartgen(args, std::cout, std::cerr);
}
