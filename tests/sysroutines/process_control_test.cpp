// Ending processes by executable name, against real child processes.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "support/sysroutines_child_process.h"
#include "support/temp_dir.h"
#include "sysroutines/paths.h"
#include "sysroutines/process_control.h"

namespace tarnvel::sys {
namespace {

using namespace std::chrono_literals;
using testing::ChildProcess;

TEST(ProcessNameMatches, FileNamePartThenWholePathWithAtoZFolded) {
  const std::string d(1, kPathDelimiter);
  const std::string path = d + "opt" + d + "fb" + d + "FBSERVER.EXE";
  const struct {
    std::string exeFile;
    std::string exeName;
    bool matches;
  } cases[] = {
      {"FBSERVER.EXE", "fbserver.exe", true},
      {path, "FbServer.exe", true},                     // the file-name part
      {path, path, true},                               // the whole reported path
      {path, d + "other" + d + "FBSERVER.EXE", false},  // ExeName is not reduced
      {path, "fb" + d + "FBSERVER.EXE", false},
      {"FBSERVER.EXE", "FBSERVER", false},  // no extension tolerance
      {"ÉCRAN.EXE", "écran.exe", false},    // only a to z are folded
      {"ÉCRAN.EXE", "ÉCRAN.exe", true},
      {path + d, "", false},  // an empty name names no program
      {"", "", false},
      {" ", " ", false},  // nor does a blank one
      {d + " ", " ", false},
      {"\t", "\t", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ProcessNameMatches(c.exeFile, c.exeName), c.matches) << c.exeFile << " ~ " << c.exeName;
  if (kPathDelimiter == '\\') {
    EXPECT_TRUE(ProcessNameMatches("C:FBSERVER.EXE", "fbserver.exe"));
  }
}

class KillProcessByNameTest : public ::testing::Test {
 protected:
  std::string Program(const std::string& fileName) {
    return testing::CopyProgramAs(testing::SysroutinesTestProgram("tarnvel_test_sleeper"), dir_.str(),
                                  fileName);
  }
  testing::TempDir dir_{"kill"};
};

TEST_F(KillProcessByNameTest, EndsEveryProcessOfTheProgram) {
  const std::string program = Program("kill_pair_target");
  ChildProcess first(program, {});
  ChildProcess second(program, {});
  ChildProcess bystander(Program("kill_pair_bystander"), {});
  std::size_t matched = 0;
  EXPECT_TRUE(KillProcessByName("kill_pair_target" + testing::ExecutableExtension(), &matched));
  EXPECT_EQ(matched, 2u);
  EXPECT_TRUE(first.WaitForExit(10s));
  EXPECT_TRUE(second.WaitForExit(10s));
  EXPECT_FALSE(bystander.WaitForExit(200ms));
}

TEST_F(KillProcessByNameTest, LowerCaseNameMatchesUpperCaseProgram) {
  ChildProcess child(Program("KILL_CASE_TARGET"), {});
  std::string name = "kill_case_target" + testing::ExecutableExtension();
  EXPECT_TRUE(KillProcessByName(name));
  EXPECT_TRUE(child.WaitForExit(10s));
}

TEST(KillProcessByName, NothingMatchingIsSuccess) {
  std::size_t matched = 1;
  EXPECT_TRUE(
      KillProcessByName("tarnvel_no_such_program_" +
                            std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()),
                        &matched));
  EXPECT_EQ(matched, 0u);
}

}  // namespace
}  // namespace tarnvel::sys
