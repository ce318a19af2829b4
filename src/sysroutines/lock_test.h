#pragma once
// The lock test of the product folder: rename it to its name plus "_" and
// back. On Windows the rename fails while any program holds the folder or a
// file inside it open.

#include <string>

namespace tarnvel::sys {

enum class LockTestResult {
  Passed,
  FolderHeld,       // the first rename failed (or, on Linux, a process holds the folder)
  RenameBackFailed  // the folder now carries the lock-test name
};

/// RootDir without its trailing delimiter, followed by "_".
std::string LockTestName(const std::string& rootDir);

/// Renames RootDir to LockTestName(RootDir) and back. Linux, where a rename
/// succeeds whatever is open, first looks for holders (FindFolderHolders) and
/// reports FolderHeld when there are any, as the Windows rename would fail.
LockTestResult FolderLockTest(const std::string& rootDir);

}  // namespace tarnvel::sys
