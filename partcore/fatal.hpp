// fatal.hpp - the one exit for every error the programs detect themselves.
// Shows the message, waits for Enter, closes the run's files, exits with status 1.
#pragma once

#include <string_view>

namespace equ {

[[noreturn]] void fatalError(std::string_view message);

// Tests install a handler that throws, to observe the report without dying;
// it runs after the console lines are written. nullptr restores the real exit.
using FatalHandler = void (*)(std::string_view message);
void setFatalHandler(FatalHandler handler);

}  // namespace equ
