// table-check.cpp - (being written)
namespace equ {}
