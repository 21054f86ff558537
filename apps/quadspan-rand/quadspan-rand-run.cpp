// quadspan-rand-run.cpp - quadspan-rand: random four-sets of partitions.
#include "quadspan-rand/quadspan-rand-run.hpp"

#include "sampling/sampling.hpp"

namespace equ {

int runQuadspanRand(int argc, const char* const* argv) { return runSampler(Program::QuadspanRand, argc, argv); }

}  // namespace equ
