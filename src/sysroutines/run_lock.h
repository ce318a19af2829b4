#pragma once
// One updater at a time per machine: runs, database commands and service
// commands of every product share one lock, since two products on one
// Firebird server stop the same service. The operating system releases the
// lock when its holder ends, however it ends.

#include <memory>
#include <optional>
#include <string>

namespace tarnvel::sys {

/// This process's id, as the holder of the lock and of a run journal.
unsigned long CurrentProcessId();

/// The machine-wide folder of the updater's own state (the lock, the run
/// journal): the environment variable TARNVEL_STATE_DIR when set, else
/// Linux /var/lib/tarnvel, Windows %ProgramData%\TarnVel.
std::string MachineStateFolder();

/// The lock file: Linux /run/lock/tarnvel-updater.lock, Windows
/// %ProgramData%\TarnVel\updater.lock; under TARNVEL_STATE_DIR when that is set.
std::string RunLockFile();

class RunLock {
 public:
  ~RunLock();
  RunLock(const RunLock&) = delete;
  RunLock& operator=(const RunLock&) = delete;

  /// Takes the lock in File (created, with its folder, when missing) without
  /// waiting, and writes Holder into it for whoever is refused. Nullopt when
  /// another process holds it; HolderFound then gets what that process wrote
  /// (empty when it cannot be read), or, when the lock file cannot be opened
  /// at all, a line saying why.
  static std::unique_ptr<RunLock> TryAcquire(const std::string& file, const std::string& holder,
                                             std::string& holderFound);

 private:
  struct State;
  explicit RunLock(std::unique_ptr<State> state);
  std::unique_ptr<State> state_;
};

}  // namespace tarnvel::sys
