// kspan-run.cpp - kspan: random k-sets of partitions (k from 2 to 8).
#include "kspan/kspan-run.hpp"

#include "sampling/sampling.hpp"

namespace equ {

int runKspan(int argc, const char* const* argv) { return runSampler(Program::Kspan, argc, argv); }

}  // namespace equ
