#pragma once
// The console's terminal: whether a standard stream is one, a line typed
// without echo, and the environment (where a password may wait).

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tarnvel::sys {

enum class StdStream { Input, Output, Error };

/// True when the stream is an interactive terminal (a console on Windows).
bool IsTerminal(StdStream stream);

/// Reads one line from the terminal on standard input with the echo
/// switched off (switched back on afterwards); without the line end.
/// nullopt when standard input is not a terminal or ends first. Prompt, when
/// given, is shown once the echo is off: what the operator types after it
/// appears is neither echoed nor thrown away.
std::optional<std::string> ReadLineWithoutEcho(const std::function<void()>& prompt = {});

/// The program's arguments after its name, in UTF-8 (on Windows taken from
/// the wide command line, so that any folder name arrives intact).
std::vector<std::string> CommandLineArguments(int argc, char* argv[]);

/// The value of an environment variable (UTF-8); nullopt when it is not set.
std::optional<std::string> EnvironmentVariable(const std::string& name);

/// Removes the variable from this process's environment, so that no program
/// started afterwards inherits it (Windows: the process's block and the C
/// runtime's copy both).
void RemoveEnvironmentVariable(const std::string& name);

}  // namespace tarnvel::sys
