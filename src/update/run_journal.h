#pragma once
// The journal of one run, kept in the machine's state folder from the first
// change a run makes until it ends, so that a run killed at any instant
// leaves a record of what it changed. JSON lines, one record a line, each
// written through to the disk before the change it announces; readable by a
// person too:
//   {"event":"run-started","time":"2026-12-10 14:30:05","pid":"4711",
//    "folder":"/opt/ZEK/TarnVel","database":"localhost/3051:/opt/...",...}
//   {"event":"database-shutdown","time":"..."}
// The journals of the last few ended runs are kept under "ended".

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tarnvel {

/// Events, in the order a full run writes them. "Before" events are written
/// before their change, "after" events once it has happened.
namespace journal {
inline constexpr const char* kRunStarted = "run-started";                  // at the first change
inline constexpr const char* kDatabaseShutdown = "database-shutdown";      // before
inline constexpr const char* kServiceStop = "service-stop";                // before
inline constexpr const char* kServiceStarted = "service-started";          // after
inline constexpr const char* kFolderRename = "folder-rename";              // before (detail "to")
inline constexpr const char* kFolderRenamedBack = "folder-renamed-back";   // after
inline constexpr const char* kWorkingFolder = "working-folder";            // after (detail "path")
inline constexpr const char* kBackupComplete = "backup-complete";          // after (detail "path")
inline constexpr const char* kReplacementBegun = "replacement-begun";      // before
inline constexpr const char* kClientReplaced = "client-replaced";          // after
inline constexpr const char* kRollbackBegun = "rollback-begun";            // before
inline constexpr const char* kRollbackComplete = "rollback-complete";      // after
inline constexpr const char* kDatabaseOnline = "database-online";          // after
inline constexpr const char* kRecoveryStep = "recovery";                   // after (detail "step")
inline constexpr const char* kRunEnded = "run-ended";                      // last (detail "outcome")
}  // namespace journal

using JournalDetails = std::vector<std::pair<std::string, std::string>>;

struct JournalRecord {
  std::string event;
  std::map<std::string, std::string> details;  // "time" among them
};

/// An unfinished journal read back.
struct JournalState {
  std::string path;
  std::vector<JournalRecord> records;

  /// A detail of the first record (run-started), empty when absent.
  std::string Start(const std::string& key) const;
  /// The event occurs; After: it occurs after the last Event2 (or Event2 never).
  bool Has(const std::string& event) const;
  bool HasAfter(const std::string& event, const std::string& later) const;
  /// A detail of the last record of Event, empty when absent.
  std::string Detail(const std::string& event, const std::string& key) const;
  /// The last event recorded.
  std::string LastEvent() const;
};

class RunJournal {
 public:
  /// The journal file of the run under way in StateFolder.
  static std::string CurrentPath(const std::string& stateFolder);

  /// Starts a journal in StateFolder with the run-started record. Throws
  /// std::runtime_error naming the file when it cannot be written: a run
  /// must not change anything it could not record.
  RunJournal(std::string stateFolder, const JournalDetails& start);
  /// Goes on with the unfinished journal at Path (recovery).
  explicit RunJournal(std::string stateFolder, std::string path, bool /*resume*/);

  /// Writes one record through to the disk. False when it could not.
  bool Record(const std::string& event, const JournalDetails& details = {});

  /// Writes run-ended and moves the journal among the ended ones, keeping
  /// the newest kKeptEnded. False when it could not.
  bool End(const std::string& outcome);

  static constexpr int kKeptEnded = 10;

 private:
  std::string stateFolder_;
  std::string path_;
};

/// The unfinished journal in StateFolder, when a run did not end.
std::optional<JournalState> ReadUnfinishedJournal(const std::string& stateFolder);

/// One record as its JSON line (with the line feed), and back.
std::string JournalLine(const std::string& event, const JournalDetails& details);
std::optional<JournalRecord> ParseJournalLine(const std::string& line);

}  // namespace tarnvel
