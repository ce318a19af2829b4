#pragma once
// Where --report may write: never inside a folder the run works on (the
// product, however the path reaches it), never over anything but an earlier
// report of this program, and never through a link.

#include <string>
#include <vector>

#include "frontends/console/console_report.h"
#include "sysroutines/report_file.h"

namespace tarnvel::console {

/// A folder no report may lie in, and what it is, for the operator.
struct GuardedFolder {
  std::string path;
  std::string what;  ///< "the product folder", ...
};

/// The product folder under both its names: its own and the one the lock
/// test gives it for a moment (and an interrupted run may have left).
std::vector<GuardedFolder> ProductFolders(const std::string& folder);

/// Why the report may not take Place, as words that follow "The report
/// FILE": it names no file, its folder does not exist, it lies in a guarded
/// folder (links resolved), or something stands there that is not a report
/// of ours (a folder, a link, a pipe or device, another file). Empty when it
/// may. Asked before the run starts, and again right before the report is
/// written: something may have come to stand in its place meanwhile.
std::string ReportPlaceProblem(const sys::ReportFilePlace& place, const std::vector<GuardedFolder>& guarded);

/// Writes the report in Place (see sys::ReportFilePlace::Write). False when
/// it could not.
bool WriteReportFile(const sys::ReportFilePlace& place, const RunReport& report);

}  // namespace tarnvel::console
