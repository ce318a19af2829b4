// Windows: the lock test fails while a program holds a file inside the
// product folder open. Wine renames such a folder anyway, so this case can
// only be shown on real Windows and is skipped under Wine (the Linux lock
// test, posix/folder_holders_test.cpp, covers the same case with /proc).
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "support/disk_child.h"
#include "support/temp_dir.h"
#include "sysroutines/lock_test.h"
#include "sysroutines/paths.h"

namespace tarnvel::sys {
namespace {

bool UnderWine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

TEST(LockTestWindows, FileHeldOpenInsideMakesItFail) {
  if (UnderWine()) GTEST_SKIP() << "Wine renames a folder while a file inside is open";
  testing::TempDir dir("lockheld");
  const std::string root = dir / "TarnVel";
  const std::string db = root + "\\DB_Data\\TarnVel.fdb";
  testing::WriteFile(PathFromUtf8(db), "db");
  testing::HeldFile held(db, dir.str());
  ASSERT_TRUE(held.IsHeld());
  EXPECT_EQ(FolderLockTest(root), LockTestResult::FolderHeld);
  EXPECT_TRUE(std::filesystem::exists(PathFromUtf8(db)));
}

}  // namespace
}  // namespace tarnvel::sys
