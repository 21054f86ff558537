// quadspan-scan-run.cpp - (being written)
#include "quadspan-scan/quadspan-scan-run.hpp"

namespace equ {

int runQuadspanScan(int, const char* const*) { return 0; }

}  // namespace equ
