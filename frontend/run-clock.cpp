// run-clock.cpp - (being written)
namespace equ {}
