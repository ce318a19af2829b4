#pragma once
// Traces in the product folder of a run that ended half way.

#include <string>

namespace tarnvel {

/// The backup of the client part that a run left in a working folder of
/// RootDir (RootDir\Tmp$…\Old\Program holding ClientExeName): the newest
/// one by the working folder's last write time, or empty when there is none.
/// Working folders that are links are not looked into.
std::string FindClientBackup(const std::string& rootDir, const std::string& clientExeName);

}  // namespace tarnvel
