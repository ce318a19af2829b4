// Starting a real child program and waiting for it.
#include "sysroutines/run_and_wait.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <thread>

#include "support/disk_child.h"
#include "support/sysroutines_child_process.h"
#include "support/temp_dir.h"
#include "sysroutines/file_copy.h"
#include "sysroutines/file_system.h"
#include "sysroutines/paths.h"
#include "sysroutines/process_end.h"

namespace tarnvel::sys {
namespace {

using testing::ReadFile;
using testing::TempDir;

// A copy of the child in a fresh folder, so that its report lands there.
std::string ChildIn(const TempDir& dir) {
  const std::string child =
      dir / (std::string("child") + (testing::TestChildPath().ends_with(".exe") ? ".exe" : ""));
  EXPECT_TRUE(CopyFileWithAttributes(testing::TestChildPath(), child));
  return child;
}

TEST(RunAndWait, ReturnsTheExitCodeAndRunsInTheProgramsFolder) {
  TempDir dir("run");
  const std::string child = ChildIn(dir);
  int passes = 0;
  bool lastPassAfterTheEnd = false;
  EXPECT_EQ(RunAndWait(child, " /x", kShowNormal,
                       [&] {
                         ++passes;
                         lastPassAfterTheEnd = std::filesystem::exists(dir.path() / "child_report.txt");
                       }),
            3);
  // Once before the wait, at every interval during it, and once after it.
  EXPECT_GE(passes, 2);
  EXPECT_TRUE(lastPassAfterTheEnd);
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
  const std::string d(1, kPathDelimiter);
  // The text is always the same; the reason says why, where it is certain
  // on both systems (Other: whatever the system says).
  const struct {
    std::string path, parameters;
    SystemErrorKind reason;
  } cases[] = {
      {dir / "missing.exe", "", SystemErrorKind::NotFound},
      {dir.str(), "", SystemErrorKind::Other},  // a folder
      // Without a blank the parameters run into the path: that names no program.
      {child, "/x", SystemErrorKind::Other},
      // Longer than the 511 characters of the command line: not started at all,
      // rather than started with a cut line.
      {child, " " + longParameters, SystemErrorKind::NameTooLong},
      // A working folder longer than 255 characters.
      {dir / std::string(250, 'f') + d + "program.exe", "", SystemErrorKind::NameTooLong},
  };
  for (const auto& c : cases) {
    try {
      RunAndWait(c.path, c.parameters, kShowNormal);
      ADD_FAILURE() << "started: " << c.path << c.parameters.substr(0, 10);
    } catch (const ProgramNotStarted& e) {
      EXPECT_STREQ(e.what(), "Unable to run an external program!");
      EXPECT_FALSE(e.Reason());
      if (c.reason != SystemErrorKind::Other) {
        EXPECT_EQ(KindOfSystemError(e.Reason().ErrorCode()), c.reason)
            << c.path.substr(0, 60) << c.parameters.substr(0, 10);
      }
    }
  }
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "child_report.txt"));
}

// A copy of the sleeper in a fresh folder, where it writes its process numbers.
std::string SleeperIn(const TempDir& dir) {
  return testing::CopyProgramAs(testing::SysroutinesTestProgram("tarnvel_test_sleeper"), dir.str(),
                                "sleeper");
}

std::uint32_t NumberIn(const std::filesystem::path& file) {
  const std::string text = ReadFile(file);
  return text.empty() ? 0 : static_cast<std::uint32_t>(std::stoul(text));
}

bool AppearsWithin(const std::filesystem::path& file, std::chrono::seconds within) {
  const auto deadline = std::chrono::steady_clock::now() + within;
  while (!std::filesystem::exists(file) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return std::filesystem::exists(file);
}

struct GivenUp {};  // what a window's message pass throws when the operator quits

TEST(RunAndWait, ProgramGivenUpOnIsEndedWithTheProcessesItStarted) {
  using namespace std::chrono_literals;
  const struct {
    const char* what;
    std::optional<std::chrono::milliseconds> limit;
    bool passThrows;
  } cases[] = {
      {"past its time limit", 300ms, false},
      {"the message pass throws", std::nullopt, true},
  };
  for (const auto& c : cases) {
    TempDir dir("limit");
    const std::string sleeper = SleeperIn(dir);
    int passes = 0;
    bool grandchildStarted = false;
    // The first pass waits until the sleeper has started its own child, so
    // that the end finds both running, however slowly they start.
    const auto pass = [&] {
      if (passes++ == 0) grandchildStarted = AppearsWithin(dir.path() / "grandchild.pid", 30s);
      if (c.passThrows && passes == 2) throw GivenUp{};
    };
    std::string outcome = "returned";
    try {
      RunAndWait(sleeper, " 60 grandchild", kShowNormal, pass, c.limit);
    } catch (const ProgramTimedOut& e) {
      outcome = "timed out";
      EXPECT_EQ(e.ProgramPath(), ExpandFullPath(sleeper)) << c.what;
      EXPECT_EQ(e.Limit(), 300ms) << c.what;
      EXPECT_NE(std::string(e.what()).find(e.ProgramPath()), std::string::npos) << e.what();
    } catch (const GivenUp&) {
      outcome = "given up";
    }
    EXPECT_EQ(outcome, c.passThrows ? "given up" : "timed out") << c.what;
    ASSERT_TRUE(grandchildStarted) << c.what;
    EXPECT_GE(passes, 2) << c.what;  // before the wait, and after the program was ended
    EXPECT_TRUE(testing::ProcessEnds(NumberIn(dir.path() / "sleeper.pid"), 30s)) << c.what;
    EXPECT_TRUE(testing::ProcessEnds(NumberIn(dir.path() / "grandchild.pid"), 30s)) << c.what;
  }
}

TEST(RunAndWait, ProgramEndingWithinItsLimitGivesItsExitCode) {
  using namespace std::chrono_literals;
  TempDir dir("within");
  const struct {
    std::string program, parameters;
    int exitCode;
    int leastPasses;  // a program that runs a second lets messages through on the way
  } cases[] = {
      {ChildIn(dir), " /x", 3, 2},
      {SleeperIn(dir), " 1", 0, 3},
  };
  for (const auto& c : cases) {
    int passes = 0;
    EXPECT_EQ(RunAndWait(
                  c.program, c.parameters, kShowNormal, [&] { ++passes; }, 60s),
              c.exitCode)
        << c.program;
    EXPECT_GE(passes, c.leastPasses) << c.program;
  }
}

}  // namespace
}  // namespace tarnvel::sys
