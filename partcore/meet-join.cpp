// meet-join.cpp - (being written)
namespace equ {}
