// setup.cpp - (being written)
namespace equ {}
