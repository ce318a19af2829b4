// Windows: the Restart Manager names the process that holds a file of the
// folder. Wine's Restart Manager is an empty shell that never names anyone,
// so under Wine this case is skipped: only real Windows can show it.
#include <gtest/gtest.h>
#include <windows.h>

#include "support/disk_child.h"
#include "support/temp_dir.h"
#include "sysroutines/folder_holders.h"
#include "sysroutines/paths.h"

namespace tarnvel::sys {
namespace {

bool UnderWine() {
  return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

TEST(FolderHoldersWindows, ProcessHoldingAFileInsideIsNamed) {
  if (UnderWine()) GTEST_SKIP() << "Wine's Restart Manager reports no processes";
  testing::TempDir dir("holders");
  const std::string root = dir / "TarnVel";
  const std::string db = root + "\\DB_Data\\TarnVel.fdb";
  testing::WriteFile(PathFromUtf8(db), "db");
  EXPECT_TRUE(FindFolderHolders(root).empty());
  testing::HeldFile held(db, dir.str());
  ASSERT_TRUE(held.IsHeld());
  const std::vector<FolderHolder> holders = FindFolderHolders(root);
  ASSERT_EQ(holders.size(), 1u);
  EXPECT_EQ(holders[0].programName, "tarnvel_test_child.exe");
  EXPECT_NE(holders[0].pid, 0u);
}

}  // namespace
}  // namespace tarnvel::sys
