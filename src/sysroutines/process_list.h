#pragma once
// The running processes of this computer and ending one of them.

#include <cstdint>
#include <string>
#include <vector>

namespace tarnvel::sys {

struct ProcessEntry {
  std::uint32_t processId = 0;
  /// Windows: the executable name the ToolHelp snapshot reports. Linux: the
  /// target of /proc/PID/exe, or argv[0] when that link cannot be read (a
  /// process of another user). Processes without any name are left out.
  std::string exeFile;
};

/// A snapshot of the running processes (empty when none can be taken).
std::vector<ProcessEntry> TakeProcessSnapshot();

/// Ends the process at once (Windows: TerminateProcess with exit code 0;
/// Linux: SIGKILL). False when it cannot be opened or ended; a process that
/// has already gone counts as ended on Linux.
bool TerminateProcessById(std::uint32_t processId);

}  // namespace tarnvel::sys
