// quadspan-scan-run.hpp - the run of quadspan-scan from start to end.
#pragma once

namespace equ {

// Runs the whole program; returns its exit status.
int runQuadspanScan(int argc, const char* const* argv);

}  // namespace equ
