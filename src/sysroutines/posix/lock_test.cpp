#include "sysroutines/lock_test.h"

#include "sysroutines/folder_holders.h"

namespace tarnvel::sys {

LockTestResult FolderLockTest(const std::string& rootDir, const LockTestSeams& seams) {
  if (!FindFolderHolders(rootDir).empty()) return LockTestResult::FolderHeld;
  std::string from = rootDir;
  if (from.size() > 1 && from.back() == '/') from.pop_back();
  return RenameThereAndBack(from, LockTestName(rootDir), seams);
}

}  // namespace tarnvel::sys
