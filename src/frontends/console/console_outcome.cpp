#include "frontends/console/console_outcome.h"

namespace tarnvel::console {

Outcome ClassifyOutcome(const RunFacts& facts) {
  if (facts.declined) return Outcome::Declined;
  if (!facts.failed) return Outcome::Succeeded;
  // A rollback ends with an empty text only when it restored everything.
  if (facts.rolledBack) return facts.failureText.empty() ? Outcome::RolledBack : Outcome::OperatorMustAct;
  if (facts.databaseShutDownByRun && !facts.databaseBackOnline) return Outcome::OperatorMustAct;
  if (facts.serviceStoppedByRun && !facts.serviceRunsAfter) return Outcome::OperatorMustAct;
  return Outcome::FailedUnchanged;
}

int ExitCode(Outcome outcome) {
  switch (outcome) {
    case Outcome::Succeeded:
      return 0;
    case Outcome::FailedUnchanged:
      return 1;
    case Outcome::Declined:
      return 2;
    case Outcome::RolledBack:
      return 3;
    case Outcome::OperatorMustAct:
      return 4;
    case Outcome::Locked:
    case Outcome::CheckBlocks:
      return 5;
    case Outcome::UsageError:
      break;
  }
  return 64;
}

std::string OutcomeName(Outcome outcome) {
  switch (outcome) {
    case Outcome::Succeeded:
      return "succeeded";
    case Outcome::FailedUnchanged:
      return "failed-unchanged";
    case Outcome::Declined:
      return "declined";
    case Outcome::RolledBack:
      return "rolled-back";
    case Outcome::OperatorMustAct:
      return "operator-must-act";
    case Outcome::Locked:
      return "locked";
    case Outcome::CheckBlocks:
      return "blocked";
    case Outcome::UsageError:
      break;
  }
  return "usage-error";
}

}  // namespace tarnvel::console
