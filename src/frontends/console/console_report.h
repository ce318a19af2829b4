#pragma once
// The JSON report of one console run, for scripts that drive many machines.

#include <optional>
#include <string>
#include <vector>

#include "frontends/console/console_outcome.h"
#include "update/preflight_check.h"
#include "sysroutines/local_time.h"

namespace tarnvel::console {

struct ReportEntry {
  std::string time;    ///< local time "YYYY-MM-DD HH:MM:SS"
  double seconds = 0;  ///< since the run started
  std::string text;    ///< the entry as logged
};

struct RunReport {
  std::string command;
  std::string folder;
  Outcome outcome = Outcome::Succeeded;
  bool rolledBack = false;
  std::string failure;
  std::string backupFolder;
  /// The backup carries the mark of a copy that ended without error.
  bool backupComplete = false;
  std::string logFile;
  std::string started;
  double durationSeconds = 0;
  /// From the run's shutdown of the database until it was online again;
  /// none when the run did not shut it down or left it shut down.
  std::optional<double> downtimeSeconds;
  std::vector<ReportEntry> entries;
  /// What a check found; the report has a "findings" array only for a check.
  std::optional<std::vector<CheckFinding>> findings;
};

/// How every report begins: the mark by which an existing file is known as
/// a report of ours, the only kind of file --report may replace.
inline constexpr const char* kReportHead = "{\n  \"report\": \"Updater_TarnVel console run\",\n";

/// The report as a JSON object. Each entry also carries stepSeconds: the
/// time until the next entry (or the end of the run), the duration of the
/// step it announces.
std::string ReportJson(const RunReport& report);

/// "YYYY-MM-DD HH:MM:SS".
std::string IsoTime(const sys::LocalDateTime& when);

/// A JSON string literal (quotes included) of UTF-8 text.
std::string JsonString(const std::string& text);

}  // namespace tarnvel::console
