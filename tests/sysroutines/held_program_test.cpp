// A program held from its check until it has run: what was read through the
// held handle is what starts, whatever is done to its path in between.
#include "sysroutines/held_program.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "support/disk_child.h"
#include "support/sysroutines_child_process.h"
#include "support/temp_dir.h"
#include "sysroutines/file_copy.h"
#include "sysroutines/paths.h"
#include "sysroutines/run_and_wait.h"

namespace tarnvel::sys {
namespace {

using testing::ReadFile;
using testing::TempDir;
namespace fs = std::filesystem;

TEST(HeldProgram, WhatWasReadThroughItRunsEvenWhenItsNameIsGivenToAnotherProgram) {
  TempDir dir("held");
  const std::string child = dir / ("files" + testing::ExecutableExtension());
  ASSERT_TRUE(CopyFileWithAttributes(testing::TestChildPath(), child));
  // A program that never ends by itself: should it be the one started, the
  // time limit below ends it and the run fails.
  const std::string other =
      testing::CopyProgramAs(testing::SysroutinesTestProgram("tarnvel_test_sleeper"), dir.str(), "other");

  const std::unique_ptr<HeldProgram> held = HeldProgram::Hold(child);
  ASSERT_TRUE(held);
  EXPECT_EQ(held->Path(), child);
  std::string read;
  ASSERT_TRUE(held->ReadAll([&read](std::string_view piece) { read += piece; }));
  EXPECT_TRUE(read == ReadFile(PathFromUtf8(child))) << "not the file's bytes";

  // Someone who may write the folder renames another program over it: Linux
  // lets that through (the held descriptor still names the checked file),
  // Windows refuses it while the file is held.
  std::error_code renamed;
  fs::rename(PathFromUtf8(other), PathFromUtf8(child), renamed);
#ifdef _WIN32
  EXPECT_TRUE(renamed) << "the held file was replaced";
#else
  EXPECT_FALSE(renamed) << renamed.message();
#endif

  EXPECT_EQ(RunHeldAndWait(*held, " /x", kShowNormal, {}, std::chrono::seconds(60)), 3);
  EXPECT_EQ(ReadFile(dir.path() / "child_report.txt"), child + " /x");
}

TEST(HeldProgram, NothingThatIsNotAFileOfItsOwnIsHeld) {
  TempDir dir("held");
  fs::create_directories(dir.path() / "folder");
  EXPECT_FALSE(HeldProgram::Hold(dir / "missing"));
  EXPECT_FALSE(HeldProgram::Hold(dir / "folder"));
  EXPECT_FALSE(HeldProgram::Hold(""));
}

}  // namespace
}  // namespace tarnvel::sys
