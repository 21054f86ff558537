// pty-harness.cpp - (being written)
namespace equ {}
