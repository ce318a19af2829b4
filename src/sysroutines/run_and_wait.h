#pragma once
// Running an external program and waiting for its end.

#include <chrono>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

#include "sysroutines/system_error.h"

namespace tarnvel::sys {

class HeldProgram;

/// The show command of a normal window (Windows SW_SHOWNORMAL).
inline constexpr int kShowNormal = 1;

/// How often RunAndWait lets window messages through while it waits.
inline constexpr std::chrono::milliseconds kMessagePassInterval{100};

/// A program RunAndWait started did not end within its time limit; it was
/// ended, with the processes it had started, before this was thrown.
class ProgramTimedOut : public std::runtime_error {
 public:
  ProgramTimedOut(const std::string& programPath, std::chrono::milliseconds limit);
  /// The program's full path, as it was started.
  const std::string& ProgramPath() const { return programPath_; }
  std::chrono::milliseconds Limit() const { return limit_; }

 private:
  std::string programPath_;
  std::chrono::milliseconds limit_;
};

/// A program RunAndWait could not start. Its text is always "Unable to run
/// an external program!"; Reason says why, as the system's error code.
class ProgramNotStarted : public std::runtime_error {
 public:
  explicit ProgramNotStarted(SysResult reason);
  SysResult Reason() const { return reason_; }

 private:
  SysResult reason_;
};

/// Starts ProgramPath (expanded to a full path) with the command line "full
/// path" immediately followed by Parameters (nothing between, nothing quoted:
/// a caller that wants a blank starts Parameters with one), in the folder
/// that holds the program, and waits for its end. Returns the exit code.
///
/// ProcessMessages, when given, runs once before the wait, every
/// kMessagePassInterval during it and once after it, also after a program
/// that was ended for its time limit. Should it throw, the program is ended
/// (as for the time limit) and the exception goes on.
///
/// Without TimeLimit the wait has no limit. With one, a program still
/// running when TimeLimit has passed since its start is ended together with
/// the processes it started (ChildProcess::EndAll) and ProgramTimedOut is
/// thrown.
///
/// Throws ProgramNotStarted when the program cannot be started, and also
/// when the command line exceeds 511 characters or the working folder 255
/// (the reason is then NameTooLongError()): a cut line or folder would start
/// something else than asked.
int RunAndWait(const std::string& programPath, const std::string& parameters, int showMode,
               const std::function<void()>& processMessages = {},
               std::optional<std::chrono::milliseconds> timeLimit = std::nullopt);

/// RunAndWait for the program Program holds, started through the held handle
/// (ChildProcess::Start with a held program): the file that was checked is
/// the one that runs. The command line and the working folder come from the
/// held path. The caller keeps Program held at least until this returns.
int RunHeldAndWait(const HeldProgram& program, const std::string& parameters, int showMode,
                   const std::function<void()>& processMessages = {},
                   std::optional<std::chrono::milliseconds> timeLimit = std::nullopt);

}  // namespace tarnvel::sys
