#pragma once
// The update driver: one synchronous call that runs a whole update of the
// installed product, from finding its parts to bringing its database back
// online, announcing every step in the run log.

#include <chrono>
#include <functional>
#include <string>

#include "firebird/db_services.h"
#include "firebird/fb_service.h"
#include "firebird/server_discovery.h"
#include "sysroutines/lock_test.h"
#include "sysroutines/sha256.h"
#include "update/host.h"
#include "update/project_profile.h"

namespace tarnvel {

/// A payload that has not ended after this long is taken for hung: it and
/// everything it started are ended, and the run fails before it changed
/// anything installed.
inline constexpr std::chrono::milliseconds kPayloadTimeLimit = std::chrono::minutes(10);

/// What a run takes from the main window besides the typed values, and the
/// waits it makes. The program waits for real; tests may shorten the waits.
struct UpdateSettings {
  ProjectProfile profile;
  firebird::TFBServParams ServerParams;
  /// The pause after a service stop and the limits of the service waits.
  firebird::FbServiceContext service;
  /// The pause after a database shutdown request.
  firebird::Pause shutdownPause = firebird::SleepPause;
  /// Told each time a call that brings the database online has returned
  /// without failure (steps 10 and 15): what a front end reports as "back
  /// online" comes from here, never from the log, whose entry may fail.
  std::function<void()> onDatabaseOnline;
  /// The lock test's seams: tests stop between its two renames.
  sys::LockTestSeams lockTest;
  /// Called when the new client's copy lies complete beside the installed
  /// one, just before it is renamed over it: tests stop a run there.
  std::function<void()> clientCopyWritten;
  /// How long the payload may run before it is ended and the run fails.
  std::chrono::milliseconds payloadTimeLimit = kPayloadTimeLimit;
  /// Writes the payload program to the path given and returns the SHA-256
  /// it must have when it is started (tests put a program of theirs there).
  /// Empty: the payload the updater carries, with the digest its build
  /// recorded.
  std::function<sys::Sha256Digest(const std::string& path)> writePayload;
  /// Called once the payload is written, before it is held and checked:
  /// tests put other bytes in its place there, as someone who may write the
  /// product folder could.
  std::function<void(const std::string& path)> beforePayloadRuns;
  /// The machine's state folder, where a run keeps its journal from its
  /// first change on (sys::MachineStateFolder() in the programs); empty: no
  /// journal.
  std::string stateFolder;
};

/// The file in a working folder's Old that says its backup is complete.
extern const char* const kBackupCompleteMarker;

/// The error text rule of a run: "Exception Message: " + Text, behind
/// ErrorText and a lone carriage return when ErrorText is not empty.
std::string AddErrorMessage(const std::string& ErrorText, const std::string& Text);

/// Runs one update of the product in ProgramLocation. A normal return means
/// the update succeeded. Otherwise it throws:
///  - SilentAbort when the operator declined (nothing to log or show);
///  - std::runtime_error with the operator's text;
///  - std::runtime_error with an empty text after a complete rollback.
/// The host's RolledBack flag is cleared at the start and set by a rollback.
void UpdateProgramm(IUpdateHost& host, const UpdateSettings& settings, const std::string& ProgramLocation,
                    const std::string& SysdbaPassword, const std::string& AdmnPassword,
                    const std::string& ProjectKey);

}  // namespace tarnvel
