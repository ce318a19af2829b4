#pragma once
// One started program that the caller waits for, and ends when it must.

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "sysroutines/system_error.h"

namespace tarnvel::sys {

class HeldProgram;

class ChildProcess {
 public:
  ChildProcess();
  ~ChildProcess();  // closes the handles; does not wait and does not end the program
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  /// Starts CommandLine in WorkingFolder with the caller's environment.
  /// Windows: CreateProcessW with no application name, handles not inherited,
  /// a new console, normal priority, ShowMode as the show command.
  /// Linux: the command line is split at blanks (double quotes group words),
  /// except that ProgramPath, which starts the command line, is never split;
  /// the first word is the program started (posix_spawn, no PATH search);
  /// it inherits standard input, output and error and no other descriptor.
  /// The program heads a group that the processes it starts belong to as
  /// well, so that EndAll reaches them: Linux a process group of its own
  /// (so it is not the terminal's foreground job), Windows a job object
  /// (none where the system refuses one; then EndAll ends the program only).
  /// A failure carries the system's error code (a program that does not
  /// exist, may not be run, or whose name is too long).
  SysResult Start(const std::string& commandLine, const std::string& programPath,
                  const std::string& workingFolder, int showMode);

  /// Starts the program Program holds, as Start would start its path
  /// (CommandLine begins with Program.Path()), so that what was checked
  /// through the held handle is what runs. Linux: the very file behind the
  /// held descriptor is started (execveat), whatever its path names by now;
  /// the descriptor is not inherited. Windows: the held path is the
  /// application name, so no search rule can pick another file, and the held
  /// handle keeps the file at that path. Program may be released once this
  /// has returned.
  SysResult Start(const std::string& commandLine, const HeldProgram& program,
                  const std::string& workingFolder, int showMode);

  /// Waits without a time limit and returns the exit code (Linux: a program
  /// ended by a signal gives 128 + the signal number).
  std::uint32_t Wait();

  /// Waits at most Timeout: the exit code, as Wait gives it, when the
  /// program has ended; nullopt while it still runs.
  std::optional<std::uint32_t> WaitFor(std::chrono::milliseconds timeout);

  /// Ends the program and every process of its group at once (Linux: SIGKILL
  /// to the process group; Windows: TerminateJobObject, or TerminateProcess
  /// without a job), then waits for the program itself to end. A process
  /// that left the group (Linux setsid or setpgid) is not reached; one that
  /// already ended is not waited for again.
  void EndAll();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace tarnvel::sys
