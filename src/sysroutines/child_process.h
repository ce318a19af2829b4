#pragma once
// One started program that the caller waits for.

#include <cstdint>
#include <memory>
#include <string>

namespace tarnvel::sys {

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
  bool Start(const std::string& commandLine, const std::string& programPath, const std::string& workingFolder,
             int showMode);

  /// Waits without a time limit and returns the exit code (Linux: a program
  /// ended by a signal gives 128 + the signal number).
  std::uint32_t Wait();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace tarnvel::sys
