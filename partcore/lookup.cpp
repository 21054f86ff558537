// lookup.cpp - (being written)
namespace equ {}
