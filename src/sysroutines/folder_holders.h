#pragma once
// Which processes hold a folder open, so that the operator can be told what
// to close.

#include <cstdint>
#include <string>
#include <vector>

namespace tarnvel::sys {

struct FolderHolder {
  std::uint32_t pid = 0;
  std::string programName;  // file name of the program, without its folder
};

/// The processes that hold Folder or anything inside it. Linux: from /proc,
/// every process whose current folder, root, executable, open files or
/// mapped files lie inside (processes of other users are seen only with the
/// right to read their /proc entries). Windows: the Restart Manager, asked
/// about every file of the tree. Each process once, in no particular order.
std::vector<FolderHolder> FindFolderHolders(const std::string& folder);

}  // namespace tarnvel::sys
