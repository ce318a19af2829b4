#include "sysroutines/lock_test.h"

#include "sysroutines/file_system.h"
#include "sysroutines/folder_holders.h"

namespace tarnvel::sys {

LockTestResult FolderLockTest(const std::string& rootDir, const LockTestSeams& seams) {
  std::string from = rootDir;
  if (from.size() > 1 && from.back() == '/') from.pop_back();
  // rename(2) refuses a mount point whoever holds it: naming holders would
  // send the operator closing programs in vain. A link to one is renamed as
  // the link it is.
  const auto attributes = GetFileAttributesOf(from);
  const bool link = attributes && (*attributes & kAttrLink) != 0;
  if (!link && IsFileSystemRoot(from)) return LockTestResult::FolderIsMountPoint;
  if (!FindFolderHolders(rootDir).empty()) return LockTestResult::FolderHeld;
  return RenameThereAndBack(from, LockTestName(rootDir), seams);
}

}  // namespace tarnvel::sys
