// Linux: a program is held only when nobody but ourselves can change it,
// and what a held program starts inherits none of our descriptors.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "support/disk_child.h"
#include "support/temp_dir.h"
#include "sysroutines/file_copy.h"
#include "sysroutines/held_program.h"
#include "sysroutines/run_and_wait.h"

namespace tarnvel::sys {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;
namespace fs = std::filesystem;

TEST(HeldProgramLinux, OnlyARegularFileOfOursThatNobodyElseMayWriteIsHeld) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to give a file to another user";
  struct Case {
    const char* what;
    std::function<void(const std::string& path)> make;
    bool held;
  };
  const auto file = [](mode_t mode) {
    return [mode](const std::string& path) {
      WriteFile(path, "program");
      ASSERT_EQ(chmod(path.c_str(), mode), 0);
    };
  };
  TempDir dir("held");
  const std::string good = dir / "good";
  file(0755)(good);
  const Case cases[] = {
      {"ours, 0755", file(0755), true},
      {"ours, 0700", file(0700), true},
      {"ours, read-only", file(0500), true},
      {"group may write", file(0775), false},
      {"others may write", file(0757), false},
      {"another user's",
       [&](const std::string& path) {
         file(0755)(path);
         ASSERT_EQ(chown(path.c_str(), 65534, 65534), 0);
       },
       false},
      {"a link to one of ours", [&](const std::string& path) { fs::create_symlink(good, path); }, false},
      {"a folder", [](const std::string& path) { fs::create_directory(path); }, false},
      // Opening a pipe for reading would wait for a writer: it is refused at once.
      {"a named pipe", [](const std::string& path) { ASSERT_EQ(mkfifo(path.c_str(), 0700), 0); }, false},
  };
  int n = 0;
  for (const Case& c : cases) {
    const std::string path = dir / ("case" + std::to_string(++n));
    c.make(path);
    EXPECT_EQ(HeldProgram::Hold(path) != nullptr, c.held) << c.what;
  }
}

TEST(HeldProgramLinux, AHeldProgramInheritsOnlyStandardInputOutputAndError) {
  TempDir dir("held");
  const std::string child = dir / "child";
  ASSERT_TRUE(CopyFileWithAttributes(testing::TestChildPath(), child));
  // An inheritable descriptor, as a plain open leaves the log file.
  const int log = open((dir / "Updater.log").c_str(), O_WRONLY | O_CREAT, 0600);
  ASSERT_GE(log, 3);
  {
    const std::unique_ptr<HeldProgram> held = HeldProgram::Hold(child);
    ASSERT_TRUE(held);
    EXPECT_EQ(RunHeldAndWait(*held, " fds", kShowNormal), 3);
  }
  close(log);
  EXPECT_TRUE(fs::exists(dir.path() / "child_fds.txt"));
  EXPECT_EQ(ReadFile(dir.path() / "child_fds.txt"), "");
}

TEST(HeldProgramLinux, AFileTheSystemCannotStartFailsAsAnyProgramThatCannotStart) {
  TempDir dir("held");
  const std::string notAProgram = dir / "files.exe";
  WriteFile(notAProgram, "neither ELF nor script");
  ASSERT_EQ(chmod(notAProgram.c_str(), 0755), 0);
  const std::unique_ptr<HeldProgram> held = HeldProgram::Hold(notAProgram);
  ASSERT_TRUE(held);
  try {
    RunHeldAndWait(*held, "", kShowNormal);
    ADD_FAILURE() << "started";
  } catch (const std::runtime_error& failure) {
    EXPECT_STREQ(failure.what(), "Unable to run an external program!");
  }
}

}  // namespace
}  // namespace tarnvel::sys
