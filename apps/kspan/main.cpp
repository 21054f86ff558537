#include "kspan/kspan-run.hpp"

int main(int argc, char** argv) { return equ::runKspan(argc, argv); }
