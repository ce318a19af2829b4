#pragma once
// Linux: one entry of an open folder as DirectoryReader and DirectoryHandle
// hand it out, seen without following a link.

#include <dirent.h>

#include "sysroutines/directory_reader.h"

namespace tarnvel::sys {

/// Entry of the folder DirFd that readdir returned. When the entry cannot be
/// looked at any more (gone since the listing was read), what the listing
/// itself knows is reported.
DirectoryEntry ReadDirectoryEntry(int dirFd, const dirent& entry);

}  // namespace tarnvel::sys
