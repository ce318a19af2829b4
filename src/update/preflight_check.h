#pragma once
// What an update of a product would meet, found out without changing
// anything: no shutdown, no service stop, nothing written in the product.
// Operators run it before a maintenance window, on one machine or many.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "update/host.h"
#include "update/update_driver.h"

namespace tarnvel {

enum class CheckVerdict { Ok, Warning, Blocks };

struct CheckFinding {
  /// What the finding is about, the same word in every language ("parts",
  /// "database", "space", ...): for scripts that read the report.
  std::string topic;
  CheckVerdict verdict = CheckVerdict::Ok;
  /// The finding in the operator's language.
  std::string text;
};

/// What the check takes from its caller besides the update's own values.
struct CheckSurroundings {
  /// What the process lacks of the rights an update needs (sys::MissingRunRights).
  std::vector<std::string> missingRunRights;
  /// The folder the run log goes into.
  std::string logFolder;
  /// The program's resources (sys::FindEmbeddedResource): the payload and
  /// its recorded digest are looked up here.
  std::function<std::optional<std::string_view>(std::string_view type, std::string_view name)> findResource;
  /// The state of a service, as sys::GetServiceState gives it.
  std::function<std::uint32_t(const std::string& serviceName)> serviceState;
};

/// The verdict's word in the operator's language.
std::string CheckVerdictText(CheckVerdict verdict);
/// The verdict's word in reports: "ok", "warning", "blocks".
const char* CheckVerdictName(CheckVerdict verdict);

/// Finds out, for the product in ProgramLocation, what an update with these
/// values would meet: the rights, the parts found and the ADMN password
/// rule, the server and its service, the attached users, the database's
/// mode, the free space for the free-space check and for the backup, the
/// programs that hold the product folder open, what an interrupted run left
/// behind, the payload and the log folder. Each finding is logged as it is
/// made. Never throws for what it finds; a log that cannot be written is a
/// finding, not a failure.
std::vector<CheckFinding> PreflightCheck(IUpdateHost& host, const UpdateSettings& settings,
                                         const CheckSurroundings& surroundings,
                                         const std::string& ProgramLocation, const std::string& SysdbaPassword,
                                         const std::string& AdmnPassword, const std::string& ProjectKey);

/// The closing line: nothing blocks an update, or how many findings do.
std::string CheckSummary(const std::vector<CheckFinding>& findings);

/// True when one of the findings blocks an update.
bool CheckBlocks(const std::vector<CheckFinding>& findings);

}  // namespace tarnvel
