// Replacing a file on Linux, where the faults are arranged for real: an
// immutable target, a volume that fills up, a program reading the old file.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "support/disk_scratch.h"
#include "sysroutines/replace_file.h"

namespace tarnvel::sys {
namespace {

using testing::DiskScratch;
using testing::ReadFile;
using testing::WriteFile;
namespace fs = std::filesystem;

int Shell(const std::string& command) {
  return std::system((command + " >/dev/null 2>&1").c_str());
}

std::size_t EntriesIn(const std::string& folder) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(ReplaceFileSafelyOnLinux, ATargetThatRefusesTheReplacementStaysWhole) {
  if (geteuid() != 0) GTEST_SKIP() << "chattr needs root";
  DiskScratch dir("replace");
  const std::string target = dir / "Program/TarnVel.exe";
  WriteFile(dir / "new.exe", "new client");
  WriteFile(target, "installed client");
  ASSERT_EQ(Shell("chattr +i '" + target + "'"), 0);
  const SysResult replaced = ReplaceFileSafely(dir / "new.exe", target);
  Shell("chattr -i '" + target + "'");
  EXPECT_FALSE(replaced);
  EXPECT_EQ(KindOfSystemError(replaced.ErrorCode()), SystemErrorKind::AccessDenied) << replaced.ErrorCode();
  EXPECT_EQ(ReadFile(target), "installed client");
  EXPECT_EQ(EntriesIn(dir / "Program"), 1u) << "a temporary file stayed";
}

TEST(ReplaceFileSafelyOnLinux, AVolumeThatFillsUpKeepsTheOldFile) {
  if (geteuid() != 0) GTEST_SKIP() << "mounting needs root";
  DiskScratch dir("replace");
  const std::string volume = dir / "volume";
  fs::create_directories(volume);
  ASSERT_EQ(Shell("mount -t tmpfs -o size=1m tmpfs '" + volume + "'"), 0);
  const std::string target = volume + "/TarnVel.exe";
  WriteFile(target, std::string(600 << 10, 'o'));
  WriteFile(dir / "new.exe", std::string(800 << 10, 'n'));  // does not fit beside the old one
  const SysResult replaced = ReplaceFileSafely(dir / "new.exe", target);
  const std::string after = ReadFile(target);
  const std::size_t entries = EntriesIn(volume);
  Shell("umount '" + volume + "'");
  EXPECT_FALSE(replaced);
  EXPECT_EQ(KindOfSystemError(replaced.ErrorCode()), SystemErrorKind::DiskFull) << replaced.ErrorCode();
  EXPECT_TRUE(after == std::string(600 << 10, 'o')) << "the installed file was damaged";
  EXPECT_EQ(entries, 1u) << "a temporary file stayed";
}

TEST(ReplaceFileSafelyOnLinux, TheOldFileIsReplacedNotOverwritten) {
  // A program still reading the old file goes on reading the old bytes: the
  // new file is a new file, so no instant shows a half-written one.
  DiskScratch dir("replace");
  const std::string target = dir / "TarnVel.exe";
  WriteFile(target, "installed client");
  WriteFile(dir / "new.exe", "new client, longer than the old one");
  const int reader = open(target.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(reader, 0);
  ASSERT_TRUE(ReplaceFileSafely(dir / "new.exe", target));
  char buffer[64] = {};
  const ssize_t n = pread(reader, buffer, sizeof buffer, 0);
  close(reader);
  EXPECT_EQ(std::string(buffer, n > 0 ? static_cast<std::size_t>(n) : 0), "installed client");
  EXPECT_EQ(ReadFile(target), "new client, longer than the old one");
}

}  // namespace
}  // namespace tarnvel::sys
