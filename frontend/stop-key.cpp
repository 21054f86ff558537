// stop-key.cpp - (being written)
namespace equ {}
