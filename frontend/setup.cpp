// setup.cpp - what every program does before loading its table: banner, parameters,
// the input file (parameter or prompt) and an output file that never replaces an earlier one.
#include "frontend/setup.hpp"

#include "frontend/platform.hpp"
#include "frontend/stop-key.hpp"
#include "partcore/fatal.hpp"
#include "partcore/reader.hpp"
#include "partcore/table.hpp"

namespace equ {
namespace {

// The attribution that ends every banner line; the start and end lines of a
// run carry the same words (run-clock.cpp).
constexpr std::string_view kAttribution = "equspan, an open toolkit for partition lattices";

// The characters that tell output files apart: no l and no w, 34 in all.
constexpr std::string_view kOutputAlphabet = "0123456789abcdefghijkmnopqrstuvxyz";

std::string cut(std::string text) {
  if (text.size() > kMaxLine) text.resize(kMaxLine);
  return text;
}

void baseSetNotice() {
  Console& con = console();
  con.line("  ne:=|base set|<=" + std::to_string(kLargeLimits.nmax) +
           "; check Bell(nmax)<=bnnmax! Press <enter>");
  waitForEnter();
  con.line();
}

}  // namespace

std::string bannerLine(Program program) {
  std::string line;
  switch (program) {
    case Program::Kspan:
      line = "\"kspan\" ver. April 18 on k-generation of Equ(n); ";
      break;
    case Program::QuadspanRand:
      line = "\"quadspan\" ver. April 16 on 4-generation of Equ(n); ";
      break;
    case Program::QuadspanScan:
    case Program::QuadspanSieve:
      line = "\"quadspan\" ver. April 14 on 4-generation of Equ(n); ";
      break;
  }
  line.append(kAttribution);
  return line;
}

std::string_view acknowledgementLine() {
  return "equspan thanks everyone who supported this work on the generation of Equ(n).";
}

void runSetup(Program program) {
  Console& con = console();
  switch (program) {
    case Program::Kspan:
      // Parameter errors come before anything is written.
      readTestsAndDotStep();
      readSubsetSize();
      con.line(bannerLine(program));
      con.line(acknowledgementLine());
      showHelp();
      baseSetNotice();
      break;
    case Program::QuadspanRand:
      readTestsAndDotStep();
      con.line(bannerLine(program));
      con.line(acknowledgementLine());
      baseSetNotice();
      break;
    case Program::QuadspanScan:
      con.line(bannerLine(program));
      con.line(acknowledgementLine());
      con.line();
      break;
    case Program::QuadspanSieve:
      con.line(bannerLine(program));
      openSieveFiles(paramText(1));
      return;
  }
  readDetailLevel();
  openInputFile(program);
  createOutputFile();
}

void openInputFile(Program) {
  Console& con = console();
  TextReader& input = runFiles().input;
  std::string name = cut(paramText(1));
  // A parameter naming no readable file leads to the prompt without a word about it.
  if (name.empty() || !input.open(name)) {
    for (;;) {
      con.write("Enter the name of input file or enter \"help\" (without quotion marks): ");
      if (!con.readLine(name)) {
        // Nobody is left to type a name: waiting would never end.
        fatalError("No input file: the console input ended before a file name was given.");
      }
      if (name == "help") {
        showHelp();
        continue;
      }
      if (name.empty()) continue;
      if (input.open(name)) break;
      con.line("This file does not exist!\a");
    }
  }
  con.line(name + " has been opened.");
  params().inputName = name;
  if (input.atEnd()) fatalError("Error: empty file is not allowed.");
}

std::string outputName(const std::string& inputName, char c) {
  // The extension starts at the last "." unless a folder separator follows it.
  const std::size_t dot = inputName.rfind('.');
  const std::size_t folder = inputName.find_last_of("\\/:");
  const bool hasExtension = dot != std::string::npos && (folder == std::string::npos || dot > folder);
  const std::size_t baseLength = hasExtension ? dot : inputName.size();
  std::string name = inputName.substr(0, baseLength);
  name.append("_r");
  name.push_back(c);
  if (hasExtension) name.append(inputName, dot);
  return cut(std::move(name));
}

void createOutputFile() {
  const std::string& inputName = params().inputName;
  for (const char c : kOutputAlphabet) {
    const std::string name = outputName(inputName, c);
    // Taken means present in any form, even one we may not read.
    if (nameExists(name)) continue;
    // Created exclusively: a file of this name that appeared since the check
    // (another run on the same input) is left alone and the next name tried.
    if (runFiles().output.createExclusive(name)) return;
  }
  fatalError("Error: delete some of the " + inputName + "_r? files!");
}

void openSieveFiles(const std::string& base) {
  RunFiles& files = runFiles();
  const std::string listName = cut(base + ".txt");
  if (!files.input.open(listName)) fatalError("No " + listName + "  file was found as f");
  const std::string resultName = cut(base + "_r0.txt");
  if (!files.result.open(resultName)) fatalError("No " + resultName + "  file was found as f2");
  const std::string outName = cut(base + "_comp.txt");
  // An earlier report is never overwritten, readable or not.
  if (!files.output.createExclusive(outName)) fatalError("Error (code ZvQ): delete " + outName);
  params().inputName = listName;
  files.output.line(acknowledgementLine());
  files.output.line();
  Console& con = console();
  con.line(acknowledgementLine());
  con.line();
}

void loadTable(Program program) {
  runSetup(program);
  stopRequested = false;
  startIndexGiven = false;
  ReaderOptions options;
  options.echoHeaders = program == Program::QuadspanScan;
  if (program == Program::Kspan || program == Program::QuadspanRand) {
    options.progressCommas = true;
    options.commaStep = params().commaStep;
  }
  readTable(runFiles().input, options);
}

}  // namespace equ
