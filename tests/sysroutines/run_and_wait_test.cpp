// Starting a real child program and waiting for it.
#include "sysroutines/run_and_wait.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/disk_child.h"
#include "support/temp_dir.h"
#include "sysroutines/file_copy.h"
#include "sysroutines/paths.h"

namespace tarnvel::sys {
namespace {

using testing::ReadFile;
using testing::TempDir;

// A copy of the child in a fresh folder, so that its report lands there.
std::string ChildIn(const TempDir& dir) {
  const std::string child = dir / (std::string("child") + (testing::TestChildPath().ends_with(".exe") ? ".exe" : ""));
  EXPECT_TRUE(CopyFileWithAttributes(testing::TestChildPath(), child));
  return child;
}

TEST(RunAndWait, ReturnsTheExitCodeAndRunsInTheProgramsFolder) {
  TempDir dir("run");
  const std::string child = ChildIn(dir);
  int passes = 0;
  EXPECT_EQ(RunAndWait(child, " /x", kShowNormal, [&] { ++passes; }), 3);
  EXPECT_EQ(passes, 2);  // once before and once after the wait
  // The command line is the full path, then the parameters as given.
  EXPECT_EQ(ReadFile(dir.path() / "child_report.txt"), child + " /x");
}

TEST(RunAndWait, RelativePathIsExpandedAgainstTheCurrentFolder) {
  TempDir dir("run");
  const std::string child = ChildIn(dir);
  const auto before = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  const std::string relative = std::filesystem::path(PathFromUtf8(child)).filename().string();
  int code = -1;
  EXPECT_NO_THROW(code = RunAndWait(relative, "", kShowNormal));
  std::filesystem::current_path(before);
  EXPECT_EQ(code, 3);
  EXPECT_EQ(ReadFile(dir.path() / "child_report.txt"), child);
}

TEST(RunAndWait, FailsWhenTheProgramCannotBeStarted) {
  TempDir dir("run");
  const std::string child = ChildIn(dir);
  const std::string longParameters(600, 'x');
  const struct { std::string path, parameters; } cases[] = {
      {dir / "missing.exe", ""},
      {dir.str(), ""},               // a folder
      // Without a blank the parameters run into the path: that names no program.
      {child, "/x"},
      // Longer than the 511 characters of the command line: not started at all,
      // rather than started with a cut line.
      {child, " " + longParameters},
  };
  for (const auto& c : cases) {
    try {
      RunAndWait(c.path, c.parameters, kShowNormal);
      ADD_FAILURE() << "started: " << c.path << c.parameters.substr(0, 10);
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), "Unable to run an external program!");
    }
  }
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "child_report.txt"));
}

}  // namespace
}  // namespace tarnvel::sys
