// A client that another program holds open without sharing (the operator's
// TarnVel still running) cannot be replaced: the installed file stays whole
// and no temporary copy is left beside it.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/disk_child.h"
#include "support/temp_dir.h"
#include "sysroutines/paths.h"
#include "sysroutines/replace_file.h"

namespace tarnvel::sys {
namespace {

TEST(ReplaceFileSafelyOnWindows, AHeldTargetStaysWholeAndNoCopyIsLeft) {
  testing::TempDir dir("replaceheld");
  const std::string target = dir / "Program" + "\\TarnVel.exe";
  testing::WriteFile(PathFromUtf8(dir / "new.exe"), "new client");
  testing::WriteFile(PathFromUtf8(target), "installed client");
  {
    testing::HeldFile held(target, dir.str());
    ASSERT_TRUE(held.IsHeld());
    const SysResult replaced = ReplaceFileSafely(dir / "new.exe", target);
    EXPECT_FALSE(replaced);
    // The system's reason: a sharing violation.
    EXPECT_EQ(KindOfSystemError(replaced.ErrorCode()), SystemErrorKind::FileInUse) << replaced.ErrorCode();
  }
  EXPECT_EQ(testing::ReadFile(PathFromUtf8(target)), "installed client");
  std::size_t entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(PathFromUtf8(dir / "Program"))) {
    (void)entry;
    ++entries;
  }
  EXPECT_EQ(entries, 1u) << "a temporary copy stayed beside the client";
  // Once the program has ended, the replacement goes through.
  EXPECT_TRUE(ReplaceFileSafely(dir / "new.exe", target));
  EXPECT_EQ(testing::ReadFile(PathFromUtf8(target)), "new client");
}

}  // namespace
}  // namespace tarnvel::sys
