#pragma once
// Running an external program and waiting for its end.

#include <functional>
#include <string>

namespace tarnvel::sys {

/// The show command of a normal window (Windows SW_SHOWNORMAL).
inline constexpr int kShowNormal = 1;

/// Starts ProgramPath (expanded to a full path) with the command line "full
/// path" immediately followed by Parameters (nothing between, nothing quoted:
/// a caller that wants a blank starts Parameters with one), in the folder
/// that holds the program, and waits for its end without a time limit.
/// ProcessMessages, when given, runs once before and once after the wait.
/// Returns the exit code. Throws std::runtime_error("Unable to run an
/// external program!") when the program cannot be started, and also when the
/// command line exceeds 511 characters or the working folder 255: a cut line
/// or folder would start something else than asked.
int RunAndWait(const std::string& programPath, const std::string& parameters, int showMode,
               const std::function<void()>& processMessages = {});

}  // namespace tarnvel::sys
