#include "sysroutines/lock_test.h"

#include "sysroutines/file_system.h"

namespace tarnvel::sys {

LockTestResult FolderLockTest(const std::string& rootDir) {
  std::string from = rootDir;
  if (from.size() > 3 && from.back() == '\\') from.pop_back();
  const std::string to = LockTestName(rootDir);
  if (!RenameEntry(from, to)) return LockTestResult::FolderHeld;
  if (!RenameEntry(to, from)) return LockTestResult::RenameBackFailed;
  return LockTestResult::Passed;
}

}  // namespace tarnvel::sys
