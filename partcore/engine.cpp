// engine.cpp - (being written)
namespace equ {}
