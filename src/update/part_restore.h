#pragma once
// Putting one installed part (Program, DB_Data) back as its backup holds it,
// without ever deleting an installed file before what will stand in its
// place is ready.

#include <string>
#include <vector>

#include "update/folder_ops.h"

namespace tarnvel {

/// Folder and Backup hold the same tree: the same names of the same kinds,
/// files of the same size and last write time (the backup keeps the times
/// of what it copied), links in the same places. A folder that cannot be
/// listed to its end is never taken for equal.
bool TreesEqual(const std::string& folder, const std::string& backup);

/// What putting one part back did.
struct PartRestore {
  enum class Way { Unchanged, Swapped, FileByFile };
  Way way = Way::Unchanged;
  /// Where the part as the run left it now lies, after a swap.
  std::string displaced;
  /// Full paths of the part that still differ from the backup.
  std::vector<std::string> notRestored;
};

/// Puts Installed back as Backup holds it:
///  - a part equal to its backup (TreesEqual) is left alone;
///  - else the backup is copied into WorkFolder as <name>.restore, on the
///    same volume, and only once that copy is complete is Installed moved to
///    WorkFolder as <name>.replaced and the copy renamed into its place;
///  - where that swap cannot happen (a file held open on Windows, a part
///    mounted on its own, a disk too full for a second copy), every file
///    that differs from the backup is replaced on its own through a
///    temporary name and a rename, and what could not be is listed.
/// Files of Installed that the backup does not have are left where they are
/// (after a swap, in <name>.replaced). Never throws for a single file.
PartRestore RestorePart(const std::string& installed, const std::string& backup, const std::string& workFolder,
                        const TreeCopyProgress& progress = {});

}  // namespace tarnvel
