#pragma once
// The two database commands of the Operations menu: switch the product's
// database online or shut it down by hand, outside an update run (above all
// to bring back a database that an interrupted run left shut down).

#include <string>

#include "update/host.h"
#include "update/update_driver.h"

namespace tarnvel {

/// Brings the database of the product in ProgramLocation online as SYSDBA.
/// Logs the start and the outcome and confirms it in a box; a database that
/// is already online is a warning, not a failure. Other failures go on to
/// the caller unchanged.
void UpdateOnLine(IUpdateHost& host, const UpdateSettings& settings, const std::string& ProgramLocation,
                  const std::string& SysdbaPassword);

/// The same for a forced shutdown (single-user mode).
void UpdateShutdown(IUpdateHost& host, const UpdateSettings& settings, const std::string& ProgramLocation,
                    const std::string& SysdbaPassword);

}  // namespace tarnvel
