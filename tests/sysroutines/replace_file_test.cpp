// Replacing an installed file: the new file takes the old one's place whole,
// and a replacement that cannot happen leaves the old file as it was.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "support/disk_scratch.h"
#include "sysroutines/durable_rename.h"
#include "sysroutines/file_system.h"
#include "sysroutines/paths.h"
#include "sysroutines/replace_file.h"

namespace tarnvel::sys {
namespace {

using testing::DiskScratch;
using testing::ReadFile;
using testing::WriteFile;
namespace fs = std::filesystem;

// Names in Folder, for asserting that no temporary file stayed behind.
std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(PathFromUtf8(folder)))
    names.push_back(PathToUtf8(entry.path().filename()));
  std::sort(names.begin(), names.end());
  return names;
}

TEST(ReplaceFileSafely, PutsTheWholeNewFileInPlaceOfAProtectedOne) {
  DiskScratch dir("replace");
  const std::string source = dir / "new.exe";
  const std::string target = dir / "Program/TarnVel.exe";
  WriteFile(PathFromUtf8(source), std::string((2 << 20) + 17, 'n'));
  WriteFile(PathFromUtf8(target), std::string(3 << 20, 'o'));  // longer than the new one
  ASSERT_TRUE(SetFileAttributesOf(target, kAttrReadOnly | kAttrHidden));
  const auto stamp = fs::last_write_time(PathFromUtf8(source)) - std::chrono::hours(30);
  fs::last_write_time(PathFromUtf8(source), stamp);

  ASSERT_TRUE(ReplaceFileSafely(source, target));
  EXPECT_TRUE(ReadFile(PathFromUtf8(target)) == ReadFile(PathFromUtf8(source)));
  EXPECT_EQ(fs::last_write_time(PathFromUtf8(target)), stamp);
  EXPECT_EQ(Names(dir / "Program"), std::vector<std::string>{"TarnVel.exe"});
}

TEST(ReplaceFileSafely, ASourceThatCannotBeCopiedLeavesTheTargetAndNoTemporaryFile) {
  DiskScratch dir("replace");
  const std::string target = dir / "TarnVel.exe";
  WriteFile(PathFromUtf8(target), "installed");
  for (const std::string& source : {dir / "missing.exe", dir.str()}) {
    SCOPED_TRACE(source);
    EXPECT_FALSE(ReplaceFileSafely(source, target));
    EXPECT_EQ(ReadFile(PathFromUtf8(target)), "installed");
    EXPECT_EQ(Names(dir.str()), std::vector<std::string>{"TarnVel.exe"});
  }
}

TEST(ReplaceFileSafely, AFolderInTheTargetsPlaceIsNotReplaced) {
  DiskScratch dir("replace");
  WriteFile(PathFromUtf8(dir / "new.exe"), "new");
  WriteFile(PathFromUtf8(dir / "TarnVel.exe/inside.txt"), "kept");
  EXPECT_FALSE(ReplaceFileSafely(dir / "new.exe", dir / "TarnVel.exe"));
  EXPECT_EQ(ReadFile(PathFromUtf8(dir / "TarnVel.exe/inside.txt")), "kept");
  EXPECT_EQ(Names(dir.str()), (std::vector<std::string>{"TarnVel.exe", "new.exe"}));
}

TEST(TemporarySiblingName, LiesBesideTheTargetAndDiffersFromIt) {
  const std::string name = TemporarySiblingName("folder" + std::string(1, kPathDelimiter) + "TarnVel.exe");
  EXPECT_EQ(name.rfind("folder" + std::string(1, kPathDelimiter) + "TarnVel.exe.tmp-", 0), 0u) << name;
  EXPECT_GT(name.size(), std::string("folder/TarnVel.exe.tmp-").size());
}

}  // namespace
}  // namespace tarnvel::sys
