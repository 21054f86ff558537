#include "quadspan-rand/quadspan-rand-run.hpp"

int main(int argc, char** argv) { return equ::runQuadspanRand(argc, argv); }
