// setup.hpp - the set-up of a run: banner, parameters, input file from the
// parameter or the prompt, and an output file under a name that is still free.
#pragma once

#include <string>
#include <string_view>

#include "frontend/params.hpp"

namespace equ {

// The banner line of a program, attribution notice included.
std::string bannerLine(Program program);
// The line acknowledging support, written after the banner.
std::string_view acknowledgementLine();

// The whole set-up of the program (the sequence of its table).
void runSetup(Program program);
// Parameter 1, else the prompt; leaves runFiles().input open and
// params().inputName set; refuses an empty file.
void openInputFile(Program program);
// The output name for alphabet character c: base + "_r" + c + extension.
std::string outputName(const std::string& inputName, char c);
// Creates runFiles().output under the first free name of the 34.
void createOutputFile();
// quadspan-sieve: base + ".txt", base + "_r0.txt", base + "_comp.txt".
void openSieveFiles(const std::string& base);

// runSetup, then clears stopRequested and startIndexGiven, then reads the
// list file with the program's reader options.
void loadTable(Program program);

}  // namespace equ
