// quadspan-sieve-run.hpp - the run of quadspan-sieve from start to end.
#pragma once

namespace equ {

// Runs the whole program; returns its exit status.
int runQuadspanSieve(int argc, const char* const* argv);

}  // namespace equ
