// quadspan-rand-run.hpp - the run of quadspan-rand from start to end.
#pragma once

namespace equ {

// Runs the whole program; returns its exit status.
int runQuadspanRand(int argc, const char* const* argv);

}  // namespace equ
