#pragma once
// Runs, the database commands, the service commands and the recovery change
// the product, its database and its server: a process without the rights
// they need is refused before any of them changes anything, instead of
// failing half way (a database shut down and a service that cannot be
// stopped).

#include <string>
#include <vector>

#include "sysroutines/run_rights.h"

namespace tarnvel {

/// The operator's text refusing a run or command for want of rights,
/// naming what is missing (uUpdate_CheckRunRights_1); empty when Missing is.
/// A preflight check reports this same finding.
std::string RunRightsFinding(const std::vector<std::string>& Missing = sys::MissingRunRights());

/// Throws std::runtime_error with RunRightsFinding(Missing) when Missing is
/// not empty.
void CheckRunRights(const std::vector<std::string>& Missing);

}  // namespace tarnvel
