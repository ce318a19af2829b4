#pragma once
// Questions about a folder that a check before an update asks, changing
// nothing that stays.

#include <string>

#include "sysroutines/system_error.h"

namespace tarnvel::sys {

/// Whether a new file can be made in Folder: a file of a name nobody else
/// uses is created (never an existing entry, never through a link) and
/// removed at once. The failure carries the system's reason.
SysResult CanCreateFileIn(const std::string& folder);

/// The volume that holds Path makes copies that share their blocks with the
/// original until either is changed (Linux btrfs), so a copy takes next to
/// no new space. False when unknown.
bool VolumeSharesCopiedBlocks(const std::string& path);

}  // namespace tarnvel::sys
