// Windows: the processes holding a folder are named, whether they hold a file
// inside it open or have their current folder there. (Wine's Restart Manager
// never names anyone; the handle walk finds both cases under Wine too.)
#include <gtest/gtest.h>

#include "support/disk_child.h"
#include "support/temp_dir.h"
#include "sysroutines/folder_holders.h"
#include "sysroutines/paths.h"

namespace tarnvel::sys {
namespace {

bool NamesTheChild(const std::vector<FolderHolder>& holders) {
  for (const FolderHolder& h : holders) {
    if (h.programName == "tarnvel_test_child.exe" && h.pid != 0) return true;
  }
  return false;
}

TEST(FolderHoldersWindows, ProcessHoldingAFileInsideIsNamed) {
  testing::TempDir dir("holders");
  const std::string root = dir / "TarnVel";
  const std::string db = root + "\\DB_Data\\TarnVel.fdb";
  testing::WriteFile(PathFromUtf8(db), "db");
  EXPECT_TRUE(FindFolderHolders(root).empty());
  testing::HeldFile held(db, dir.str());
  ASSERT_TRUE(held.IsHeld());
  const std::vector<FolderHolder> holders = FindFolderHolders(root);
  EXPECT_EQ(holders.size(), 1u);
  EXPECT_TRUE(NamesTheChild(holders));
  EXPECT_TRUE(FindFolderHolders(root + "\\Program").empty());
}

TEST(FolderHoldersWindows, ProcessWorkingInsideIsNamed) {
  testing::TempDir dir("holders");
  const std::string root = dir / "TarnVel";
  testing::WriteFile(PathFromUtf8(root + "\\Program\\TarnVel.exe"), "exe");
  const std::string outside = dir / "outside.txt";
  testing::WriteFile(PathFromUtf8(outside), "x");
  testing::HeldFile held(outside, root + "\\Program");
  ASSERT_TRUE(held.IsHeld());
  // (Under Wine the console host of the child works in the same folder and
  // is named too.)
  EXPECT_TRUE(NamesTheChild(FindFolderHolders(root)));
  // A sibling whose name starts like the folder is not the folder.
  testing::WriteFile(PathFromUtf8(root + "2\\x.txt"), "x");
  EXPECT_TRUE(FindFolderHolders(root + "2").empty());
}

}  // namespace
}  // namespace tarnvel::sys
