#pragma once
// Finishing or undoing what a killed run left, from its journal.

#include <string>

#include "update/host.h"
#include "update/run_journal.h"
#include "update/update_driver.h"

namespace tarnvel {

/// One line for the operator on an unfinished journal: the product folder,
/// when the run started, the last step it recorded and what recovery does.
std::string DescribeInterruptedRun(const JournalState& state);

/// Recovers the run whose journal is unfinished in settings.stateFolder, each
/// step logged and journalled, each safe to repeat, in this order: the
/// product folder gets its name back from the lock test; the Firebird
/// service is started when the run stopped it; a client replacement or a
/// rollback left half done is finished from the complete backup (the client
/// as it was before the run, unless the replacement had completed, in which
/// case the new client stays); the database goes back online; the journal
/// is ended. A backup is never deleted. Throws std::runtime_error with the
/// operator's text (what is still left and what to do) when a step fails;
/// the journal then stays unfinished, and a later call goes on from there.
/// Without an unfinished journal it logs that there is nothing to do.
void RecoverInterruptedRun(IUpdateHost& host, const UpdateSettings& settings, const std::string& sysdbaPassword);

}  // namespace tarnvel
