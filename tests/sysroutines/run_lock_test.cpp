// The machine-wide updater lock: a second taker is refused and told who
// holds it; the lock is free again once its holder ends, even when it is
// killed.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "support/sysroutines_child_process.h"
#include "support/temp_dir.h"
#include "sysroutines/paths.h"
#include "sysroutines/run_lock.h"

namespace tarnvel::sys {
namespace {

using testing::TempDir;

TEST(RunLock, ASecondTakerIsRefusedAndToldWhoHoldsIt) {
  TempDir dir("lock");
  const std::string file = dir / "state" + std::string(1, kPathDelimiter) + "updater.lock";
  std::string found;
  auto first = RunLock::TryAcquire(file, "update of /opt/ZEK/TarnVel by PID 42", found);
  ASSERT_TRUE(first) << found;
  EXPECT_EQ(found, "");
  EXPECT_FALSE(RunLock::TryAcquire(file, "second", found));
  EXPECT_EQ(found, "update of /opt/ZEK/TarnVel by PID 42");
  first.reset();
  auto again = RunLock::TryAcquire(file, "second", found);
  EXPECT_TRUE(again) << found;
}

TEST(RunLock, AKilledHolderLeavesTheLockFree) {
  TempDir dir("lock");
  const std::string file = dir / "updater.lock";
  const std::string ready = dir / "ready";
  std::string found;
  {
    testing::ChildProcess holder(testing::SysroutinesTestProgram("tarnvel_test_lock_holder"),
                                 {file, "console update, PID of the child", ready});
    for (int i = 0; i < 200 && !std::filesystem::exists(PathFromUtf8(ready)); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(std::filesystem::exists(PathFromUtf8(ready))) << "the holder did not take the lock";
    EXPECT_FALSE(RunLock::TryAcquire(file, "second", found));
    EXPECT_EQ(found, "console update, PID of the child");
  }  // the child is killed here, never releasing the lock itself
  EXPECT_TRUE(RunLock::TryAcquire(file, "second", found)) << found;
}

TEST(RunLock, ALockFileThatCannotBeMadeIsReportedNotTakenForAHolder) {
  TempDir dir("lock");
  testing::WriteFile(PathFromUtf8(dir / "file"), "a file where a folder should be");
  std::string found;
  EXPECT_FALSE(RunLock::TryAcquire(dir / "file" + std::string(1, kPathDelimiter) + "updater.lock", "x", found));
  EXPECT_NE(found.find("cannot be opened"), std::string::npos) << found;
}

}  // namespace
}  // namespace tarnvel::sys
