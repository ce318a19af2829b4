// Linux: whatever stands in the target's place of a copy is replaced, never
// written through, so that a copy cannot write outside its tree.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "support/temp_dir.h"
#include "sysroutines/file_copy.h"
#include "sysroutines/force_copy_file.h"

namespace tarnvel::sys {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;
namespace fs = std::filesystem;

TEST(CopyTargetLinux, WhatStandsInTheTargetsPlaceIsReplacedNotWrittenThrough) {
  TempDir dir("target");
  const std::string source = dir / "new.exe";
  WriteFile(source, "new content");
  const std::string outside = dir / "outside";
  fs::create_directories(outside);
  const struct {
    const char* name;
    std::function<void(const std::string& target)> place;
  } cases[] = {
      {"link to a file outside",
       [&](const std::string& t) {
         WriteFile(outside + "/precious.txt", "keep me");
         fs::create_symlink(outside + "/precious.txt", t);
       }},
      {"link to a missing file outside",
       [&](const std::string& t) { fs::create_symlink(outside + "/created", t); }},
      {"link to a folder outside", [&](const std::string& t) { fs::create_directory_symlink(outside, t); }},
      {"hard link of a file outside",
       [&](const std::string& t) {
         WriteFile(outside + "/shared.txt", "keep me too");
         fs::create_hard_link(outside + "/shared.txt", t);
       }},
      // Opening a pipe for writing would wait for a reader.
      {"named pipe", [&](const std::string& t) { ASSERT_EQ(mkfifo(t.c_str(), 0600), 0); }},
  };
  for (const auto& c : cases) {
    const std::string target = dir / (std::string("TarnVel-") + std::to_string(&c - cases) + ".exe");
    c.place(target);
    EXPECT_TRUE(ForceCopyFile(source, target)) << c.name;
    EXPECT_FALSE(fs::is_symlink(target)) << c.name;
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(target))) << c.name;
    EXPECT_EQ(ReadFile(target), "new content") << c.name;
  }
  EXPECT_EQ(ReadFile(outside + "/precious.txt"), "keep me");
  EXPECT_EQ(ReadFile(outside + "/shared.txt"), "keep me too");
  EXPECT_FALSE(fs::exists(outside + "/created"));
  EXPECT_FALSE(fs::exists(outside + "/new.exe"));
  EXPECT_EQ(std::distance(fs::directory_iterator(outside), fs::directory_iterator()), 2);
}

TEST(CopyTargetLinux, ShorterSourceOverAnExistingFileLeavesNoTail) {
  TempDir dir("target");
  WriteFile(dir / "new.exe", "short");
  WriteFile(dir / "old.exe", std::string(100000, 'o'));
  ASSERT_TRUE(CopyFileWithAttributes(dir / "new.exe", dir / "old.exe"));
  EXPECT_EQ(ReadFile(dir / "old.exe"), "short");
  WriteFile(dir / "empty.exe", "");
  ASSERT_TRUE(CopyFileWithAttributes(dir / "empty.exe", dir / "old.exe"));
  EXPECT_EQ(ReadFile(dir / "old.exe"), "");
}

}  // namespace
}  // namespace tarnvel::sys
