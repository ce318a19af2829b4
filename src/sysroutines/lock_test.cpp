#include "sysroutines/lock_test.h"

#include <thread>

#include "sysroutines/file_system.h"
#include "sysroutines/paths.h"

namespace tarnvel::sys {

std::string LockTestName(const std::string& rootDir) {
  std::string name = rootDir;
  if (!name.empty() && name.back() == kPathDelimiter) name.pop_back();
  return name + "_";
}

LockTestResult RenameThereAndBack(const std::string& from, const std::string& to, const LockTestSeams& seams) {
  if (!RenameEntry(from, to)) {
    return IsFileSystemRoot(from) ? LockTestResult::FolderIsMountPoint : LockTestResult::FolderHeld;
  }
  if (seams.betweenRenames) seams.betweenRenames();
  for (int attempt = 1; attempt <= kRenameBackAttempts; ++attempt) {
    if (RenameEntry(to, from)) return LockTestResult::Passed;
    if (attempt == kRenameBackAttempts) break;
    if (seams.pause) {
      seams.pause(kRenameBackPause);
    } else {
      std::this_thread::sleep_for(kRenameBackPause);
    }
  }
  return LockTestResult::RenameBackFailed;
}

}  // namespace tarnvel::sys
