#pragma once
// Ending the processes of a server and the right to do so.

#include <cstddef>
#include <string>

namespace tarnvel::sys {

/// Switches the right to end other users' processes of this process on or
/// off. Windows: SeDebugPrivilege of the own token; true only when the
/// change was applied completely (ERROR_NOT_ALL_ASSIGNED gives false).
/// Linux: CAP_KILL in the effective set of the calling thread; switching it
/// on succeeds only when the capability is permitted (root), so the result
/// answers whether we may signal other users' processes.
bool SetDebugPrivilege(bool enable);

/// Ends every process whose executable matches ExeName: first the file-name
/// part of the reported executable, then the whole of it, compared with a-z
/// upper-cased and nothing else folded. ExeName itself is used as given; an
/// empty ExeName, or one of blanks only, matches nothing.
/// True when nothing matched or when ending the last match (in snapshot
/// order) succeeded. Matched, when given, receives the number of matching
/// processes, ended or not.
bool KillProcessByName(const std::string& exeName, std::size_t* matched = nullptr);

/// The comparison KillProcessByName makes for one snapshot entry.
bool ProcessNameMatches(const std::string& exeFile, const std::string& exeName);

}  // namespace tarnvel::sys
