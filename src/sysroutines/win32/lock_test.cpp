#include "sysroutines/lock_test.h"

namespace tarnvel::sys {

LockTestResult FolderLockTest(const std::string& rootDir, const LockTestSeams& seams) {
  std::string from = rootDir;
  if (from.size() > 3 && from.back() == '\\') from.pop_back();
  return RenameThereAndBack(from, LockTestName(rootDir), seams);
}

}  // namespace tarnvel::sys
