// kspan-run.hpp - the run of kspan from start to end.
#pragma once

namespace equ {

// Runs the whole program; returns its exit status.
int runKspan(int argc, const char* const* argv);

}  // namespace equ
