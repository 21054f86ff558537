// reader.cpp - (being written)
namespace equ {}
