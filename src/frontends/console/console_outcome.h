#pragma once
// What a run or command ended in, told from the engine's outcome and the
// state it left behind, never from its texts; and the exit code of each.

#include <string>

namespace tarnvel::console {

enum class Outcome {
  Succeeded,
  FailedUnchanged,
  Declined,
  RolledBack,
  OperatorMustAct,
  Locked,
  /// A check found something that would block an update (it shares the
  /// exit code of a locked machine, which blocks an update too).
  CheckBlocks,
  UsageError
};

/// What is known when a run has ended.
struct RunFacts {
  bool declined = false;    ///< the engine's silent abort
  bool failed = false;      ///< any other failure
  bool rolledBack = false;  ///< the host's rolled-back flag
  std::string failureText;  ///< empty after a complete rollback
  bool databaseShutDownByRun = false;
  bool databaseBackOnline = false;  ///< brought online after the run shut it down
  bool serviceStoppedByRun = false;
  bool serviceRunsAfter = true;
};

Outcome ClassifyOutcome(const RunFacts& facts);

int ExitCode(Outcome outcome);

/// The exit code of a run whose --report could not be written, in place of
/// the codes 0 to 3 (4 and 5 say more urgent things and stay).
inline constexpr int kReportNotWrittenExitCode = 6;

/// "succeeded", "failed-unchanged", "declined", "rolled-back",
/// "operator-must-act", "locked", "blocked", "usage-error".
std::string OutcomeName(Outcome outcome);

}  // namespace tarnvel::console
