// Copying single files: content, attributes and times, protected targets.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "support/disk_scratch.h"
#include "sysroutines/paths.h"
#include "sysroutines/file_copy.h"
#include "sysroutines/file_system.h"
#include "sysroutines/force_copy_file.h"

namespace tarnvel::sys {
namespace {

using testing::ReadFile;
using testing::DiskScratch;
using testing::WriteFile;

std::string RandomBytes(std::size_t size) {
  std::mt19937 random(42);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  return bytes;
}

TEST(ForceCopyFile, ReplacesAProtectedTargetAndTakesOverTheSource) {
  DiskScratch dir("copy");
  const std::string source = dir / "new.exe";
  const std::string target = dir / "old.exe";
  // Bigger than any copy buffer, and not a round number.
  const std::string bytes = RandomBytes((3 << 20) + 123);
  WriteFile(PathFromUtf8(source), bytes);
  WriteFile(PathFromUtf8(target), std::string(5 << 20, 'o'));  // longer than the source
  ASSERT_TRUE(SetFileAttributesOf(target, kAttrReadOnly | kAttrHidden));
  const auto stamp = std::filesystem::last_write_time(PathFromUtf8(source)) - std::chrono::hours(30);
  std::filesystem::last_write_time(PathFromUtf8(source), stamp);

  ASSERT_TRUE(ForceCopyFile(source, target));
  EXPECT_TRUE(ReadFile(PathFromUtf8(target)) == bytes);
  EXPECT_EQ(*GetFileAttributesOf(target) & (kAttrReadOnly | kAttrHidden), 0u);
  EXPECT_EQ(std::filesystem::last_write_time(PathFromUtf8(target)), stamp);
}

TEST(ForceCopyFile, ReadOnlySourceGivesReadOnlyCopy) {
  DiskScratch dir("copy");
  const std::string source = dir / "ro.txt";
  WriteFile(PathFromUtf8(source), "read only");
  ASSERT_TRUE(SetFileAttributesOf(source, kAttrReadOnly));
  ASSERT_TRUE(ForceCopyFile(source, dir / "copy.txt"));
  EXPECT_NE(*GetFileAttributesOf(dir / "copy.txt") & kAttrReadOnly, 0u);
  // ... and a second copy over that read-only copy still works.
  ASSERT_TRUE(SetFileAttributesOf(source, kAttrArchive));
  WriteFile(PathFromUtf8(source), "changed");
  EXPECT_TRUE(ForceCopyFile(source, dir / "copy.txt"));
  EXPECT_EQ(ReadFile(PathFromUtf8(dir / "copy.txt")), "changed");
}

TEST(ForceCopyFile, FailuresLeaveTargetsAlone) {
  DiskScratch dir("copy");
  const std::string file = dir / "keep.txt";
  WriteFile(PathFromUtf8(file), "precious");
  EXPECT_FALSE(ForceCopyFile(dir / "missing.txt", dir / "target.txt"));
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "target.txt"));
  // Copying a file onto itself must not truncate it.
  EXPECT_FALSE(ForceCopyFile(file, file));
  EXPECT_EQ(ReadFile(PathFromUtf8(file)), "precious");
  EXPECT_FALSE(ForceCopyFile(dir.str(), dir / "folder-copy"));  // a folder is not a file
  EXPECT_FALSE(ForceCopyFile(file, dir / "no-such-folder/folder.txt"));
}

}  // namespace
}  // namespace tarnvel::sys
