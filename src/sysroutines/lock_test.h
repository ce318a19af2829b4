#pragma once
// The lock test of the product folder: rename it to its name plus "_" and
// back. On Windows the rename fails while any program holds the folder or a
// file inside it open.

#include <chrono>
#include <functional>
#include <string>

namespace tarnvel::sys {

enum class LockTestResult {
  Passed,
  FolderHeld,          // the first rename failed (or, on Linux, a process holds the folder)
  FolderIsMountPoint,  // the first rename failed: the folder is a mount point or a volume root
  RenameBackFailed     // the folder now carries the lock-test name
};

/// RootDir without its trailing delimiter, followed by "_".
std::string LockTestName(const std::string& rootDir);

/// How often, and with which pause between, the rename back is tried: a
/// virus scanner or an indexer that opens the folder for an instant must not
/// leave the product under the lock-test name.
inline constexpr int kRenameBackAttempts = 10;
inline constexpr std::chrono::milliseconds kRenameBackPause{200};

/// What tests change of the lock test: a call between the two renames (the
/// product folder then carries the lock-test name), and the pause between
/// two attempts of the rename back.
struct LockTestSeams {
  std::function<void()> betweenRenames;
  std::function<void(std::chrono::milliseconds)> pause;
};

/// Renames RootDir to LockTestName(RootDir) and back, trying the way back
/// kRenameBackAttempts times. Linux, where a rename succeeds whatever is
/// open, first looks for holders (FindFolderHolders) and reports FolderHeld
/// when there are any, as the Windows rename would fail. A folder that is
/// the root of a file system (IsFileSystemRoot), which no rename can move,
/// is FolderIsMountPoint (Windows: when the first rename failed; Linux:
/// before anything, rename(2) refusing a mount point whoever holds it, but
/// not for a link to one, which renames as a link), so that the operator is
/// not sent closing programs in vain.
LockTestResult FolderLockTest(const std::string& rootDir, const LockTestSeams& seams = {});

/// The two renames of the lock test between From (the folder's own name) and
/// To, shared by the platform bodies.
LockTestResult RenameThereAndBack(const std::string& from, const std::string& to, const LockTestSeams& seams);

}  // namespace tarnvel::sys
