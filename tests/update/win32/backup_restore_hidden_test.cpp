// Windows: hidden and system entries of the backup folder are not restored.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"
#include "sysroutines/file_system.h"
#include "sysroutines/paths.h"
#include "sysroutines/text_helpers.h"
#include "update/backup_restore.h"

namespace tarnvel {
namespace {

TEST(RestoreWindows, HiddenAndSystemEntriesAreIgnored) {
  testing::TempDir dir("restoreh");
  const std::string other = dir / "Other";
  const std::string live = dir / "live";
  std::filesystem::create_directories(sys::PathFromUtf8(live));
  const auto encode = [](const std::string& p) { return sys::ReplaceAll(sys::ReplaceAll(p, "\\", "{5C}"), ":", "{3A}"); };
  const std::string hiddenEntry = other + "\\" + encode(live + "\\hidden.txt");
  const std::string systemEntry = other + "\\" + encode(live + "\\system.txt");
  const std::string deleteEntry = other + "\\{dlt}_" + encode(live + "\\victim.txt");
  testing::WriteFile(sys::PathFromUtf8(hiddenEntry), "h");
  testing::WriteFile(sys::PathFromUtf8(systemEntry), "s");
  testing::WriteFile(sys::PathFromUtf8(deleteEntry), "");
  testing::WriteFile(sys::PathFromUtf8(live + "\\victim.txt"), "v");
  ASSERT_TRUE(sys::SetFileAttributesOf(hiddenEntry, sys::kAttrHidden));
  ASSERT_TRUE(sys::SetFileAttributesOf(systemEntry, sys::kAttrSystem));
  ASSERT_TRUE(sys::SetFileAttributesOf(deleteEntry, sys::kAttrHidden));
  EXPECT_TRUE(RestoreFilesFromBackup(other).empty());
  EXPECT_FALSE(std::filesystem::exists(sys::PathFromUtf8(live + "\\hidden.txt")));
  EXPECT_FALSE(std::filesystem::exists(sys::PathFromUtf8(live + "\\system.txt")));
  EXPECT_TRUE(std::filesystem::exists(sys::PathFromUtf8(live + "\\victim.txt")));  // hidden request ignored too
}

}  // namespace
}  // namespace tarnvel
