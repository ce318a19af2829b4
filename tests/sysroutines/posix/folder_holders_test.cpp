// Linux: a rename succeeds whatever is open, so the lock test looks in /proc
// for processes that hold the folder. Real child processes hold it here.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "support/disk_child.h"
#include "support/temp_dir.h"
#include "sysroutines/folder_holders.h"
#include "sysroutines/lock_test.h"
#include "sysroutines/paths.h"

namespace tarnvel::sys {
namespace {

using testing::HeldFile;
using testing::TempDir;
using testing::WriteFile;

bool Lists(const std::vector<FolderHolder>& holders, const std::string& program) {
  for (const FolderHolder& h : holders) {
    if (h.programName == program && h.pid != 0 && h.pid != static_cast<std::uint32_t>(getpid())) return true;
  }
  return false;
}

TEST(FolderHolders, OpenFileInsideHoldsTheFolder) {
  TempDir dir("holders");
  const std::string root = dir / "TarnVel";
  const std::string db = root + "/DB_Data/TarnVel.fdb";
  WriteFile(PathFromUtf8(db), "db");
  EXPECT_TRUE(FindFolderHolders(root).empty());
  {
    HeldFile held(db, dir.str());  // working folder outside: only the open file counts
    ASSERT_TRUE(held.IsHeld());
    EXPECT_TRUE(Lists(FindFolderHolders(root), "tarnvel_test_child"));
    EXPECT_EQ(FolderLockTest(root), LockTestResult::FolderHeld);
    EXPECT_TRUE(std::filesystem::exists(PathFromUtf8(db)));
    EXPECT_FALSE(std::filesystem::exists(PathFromUtf8(root + "_")));
    // A sibling whose name starts like the folder is not the folder.
    std::filesystem::create_directories(PathFromUtf8(root + "2"));
    EXPECT_TRUE(FindFolderHolders(root + "2").empty());
  }
  EXPECT_EQ(FolderLockTest(root), LockTestResult::Passed);
}

TEST(FolderHolders, WorkingFolderInsideHoldsTheFolder) {
  TempDir dir("holders");
  const std::string root = dir / "TarnVel";
  WriteFile(PathFromUtf8(root) / "Program" / "TarnVel.exe", "exe");
  const std::string outside = dir / "outside.txt";
  WriteFile(PathFromUtf8(outside), "x");
  HeldFile held(outside, root + "/Program");
  ASSERT_TRUE(held.IsHeld());
  EXPECT_TRUE(Lists(FindFolderHolders(root), "tarnvel_test_child"));
  EXPECT_EQ(FolderLockTest(root + "/"), LockTestResult::FolderHeld);
}

TEST(FolderHolders, ProgramStartedFromInsideHoldsTheFolder) {
  TempDir dir("holders");
  const std::string root = dir / "TarnVel";
  const std::string program = root + "/Program/updater";
  std::filesystem::create_directories(PathFromUtf8(root) / "Program");
  std::filesystem::copy_file(PathFromUtf8(testing::TestChildPath()), PathFromUtf8(program));
  std::filesystem::permissions(PathFromUtf8(program), std::filesystem::perms::owner_all);
  const std::string outside = dir / "outside.txt";
  WriteFile(PathFromUtf8(outside), "x");
  HeldFile held(outside, dir.str(), program);  // neither a file nor the working folder inside
  ASSERT_TRUE(held.IsHeld());
  EXPECT_TRUE(Lists(FindFolderHolders(root), "updater"));
  EXPECT_EQ(FolderLockTest(root), LockTestResult::FolderHeld);
}

}  // namespace
}  // namespace tarnvel::sys
