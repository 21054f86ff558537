#include "quadspan-scan/quadspan-scan-run.hpp"

int main(int argc, char** argv) { return equ::runQuadspanScan(argc, argv); }
