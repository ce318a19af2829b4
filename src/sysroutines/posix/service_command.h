#pragma once
// Linux: running a service manager's command (an init script, systemctl) the
// way service(8) runs it.

#include <string>
#include <vector>

namespace tarnvel::sys {

/// Runs Argv[0] with the arguments after it and waits for it, in a clean
/// environment with a fixed PATH (nothing of ours leaks into a daemon it
/// starts) and without a terminal: standard input and error are /dev/null,
/// its output goes to Output when given, else to /dev/null. Returns the
/// exit code, or -1 when it could not run or died by a signal.
int RunServiceCommand(const std::vector<std::string>& argv, std::string* output = nullptr);

}  // namespace tarnvel::sys
