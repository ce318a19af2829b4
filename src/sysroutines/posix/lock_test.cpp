#include "sysroutines/lock_test.h"

#include "sysroutines/file_system.h"
#include "sysroutines/folder_holders.h"

namespace tarnvel::sys {

LockTestResult FolderLockTest(const std::string& rootDir) {
  if (!FindFolderHolders(rootDir).empty()) return LockTestResult::FolderHeld;
  std::string from = rootDir;
  if (from.size() > 1 && from.back() == '/') from.pop_back();
  const std::string to = LockTestName(rootDir);
  if (!RenameEntry(from, to)) return LockTestResult::FolderHeld;
  if (!RenameEntry(to, from)) return LockTestResult::RenameBackFailed;
  return LockTestResult::Passed;
}

}  // namespace tarnvel::sys
