// subset.cpp - (being written)
namespace equ {}
