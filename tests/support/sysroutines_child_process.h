#pragma once
// A child process started by a test; it is ended and reaped when the object
// goes, whatever the test did to it.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace tarnvel::testing {

class ChildProcess {
 public:
  /// Starts Program (a full path) with Arguments; throws when it cannot.
  ChildProcess(const std::string& program, const std::vector<std::string>& arguments);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  std::uint32_t Id() const;
  /// Waits up to Timeout for the child to end; true when it has ended.
  bool WaitForExit(std::chrono::milliseconds timeout);
  /// The exit code of an ended child (-1 when it died by a signal).
  int ExitCode() const { return exitCode_; }

 private:
  std::uintptr_t handle_ = 0;  // Linux: the pid; Windows: the process handle
  std::uint32_t id_ = 0;
  bool ended_ = false;
  int exitCode_ = -1;
};

/// Full path of a test-only program built beside the sysroutines tests
/// (".exe" is added on Windows).
std::string SysroutinesTestProgram(const std::string& name);

/// The same program copied to Folder under another file name (the platform's
/// executable extension is added); returns the copy's full path.
std::string CopyProgramAs(const std::string& program, const std::string& folder, const std::string& fileName);

/// The platform's executable extension: ".exe" on Windows, empty on Linux.
std::string ExecutableExtension();

}  // namespace tarnvel::testing
