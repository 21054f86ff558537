#include "quadspan-sieve/quadspan-sieve-run.hpp"

int main(int argc, char** argv) { return equ::runQuadspanSieve(argc, argv); }
