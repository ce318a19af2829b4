#pragma once
// Some of the update's texts send the operator to a command of the window's
// menu. On the console there is no menu: the console's line that follows
// such a text names the console command that does the same.

#include <string>

namespace tarnvel::console {

/// The console's lines for the menu commands Failure sends the operator to,
/// in the active language, each ending with a line break; empty when it
/// names none. Program is how the operator starts this console program.
std::string ConsoleCommandAdvice(const std::string& failure, const std::string& program);

}  // namespace tarnvel::console
