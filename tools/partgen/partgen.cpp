// partgen.cpp - (being written)
namespace equ {}
