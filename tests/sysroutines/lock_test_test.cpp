// The lock test of the product folder, and the lock-test name.
#include "sysroutines/lock_test.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"
#include "sysroutines/paths.h"

namespace tarnvel::sys {
namespace {

using testing::TempDir;
using testing::WriteFile;

TEST(LockTest, NameDropsTheTrailingDelimiter) {
  const std::string d(1, kPathDelimiter);
  EXPECT_EQ(LockTestName("x" + d + "TarnVel"), "x" + d + "TarnVel_");
  EXPECT_EQ(LockTestName("x" + d + "TarnVel" + d), "x" + d + "TarnVel_");
}

TEST(LockTest, FreeFolderIsRenamedAndBack) {
  TempDir dir("lock");
  const std::string root = dir / "TarnVel";
  WriteFile(PathFromUtf8(root) / "Program" / "TarnVel.exe", "exe");
  EXPECT_EQ(FolderLockTest(root), LockTestResult::Passed);
  EXPECT_EQ(FolderLockTest(IncludeTrailingPathDelimiter(root)), LockTestResult::Passed);
  EXPECT_TRUE(std::filesystem::exists(PathFromUtf8(root) / "Program" / "TarnVel.exe"));
  EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(root + "_")));
}

TEST(LockTest, FolderWithTheLockTestNameMakesItFail) {
  TempDir dir("lock");
  const std::string root = dir / "TarnVel";
  WriteFile(PathFromUtf8(root) / "DB_Data" / "TarnVel.fdb", "db");
  std::filesystem::create_directories(PathFromUtf8(root + "_"));  // empty: Linux rename would replace it
  EXPECT_EQ(FolderLockTest(root), LockTestResult::FolderHeld);
  EXPECT_TRUE(std::filesystem::exists(PathFromUtf8(root) / "DB_Data" / "TarnVel.fdb"));
  EXPECT_TRUE(std::filesystem::is_empty(PathFromUtf8(root + "_")));
}

// The root of a drive (Windows) or of the file system (Linux) can never be
// renamed, whoever holds it: that is what the result says, not "held".
// Nothing is moved: the rename of a root is refused.
TEST(LockTest, TheRootOfAFileSystemIsNamedAsSuch) {
  TempDir dir("lock");
  const std::string root = PathToUtf8(dir.path().root_path());
  EXPECT_EQ(FolderLockTest(root), LockTestResult::FolderIsMountPoint) << root;
  EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(LockTestName(root))));
}

}  // namespace
}  // namespace tarnvel::sys
