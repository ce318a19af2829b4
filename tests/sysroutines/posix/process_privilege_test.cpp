// Ending other users' processes on Linux: the privilege switch is CAP_KILL.
// Tests run as root, which may signal anyone, so the "may not" side runs
// with the capability switched off or as another user (nobody, 65534).
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "support/sysroutines_child_process.h"
#include "support/temp_dir.h"
#include "sysroutines/process_control.h"
#include "sysroutines/process_list.h"

namespace tarnvel::sys {
namespace {

using namespace std::chrono_literals;
using testing::ChildProcess;

const char* const kSetpriv = "/usr/bin/setpriv";

std::vector<std::string> AsNobody(const std::string& program, const std::vector<std::string>& arguments) {
  std::vector<std::string> argv{"--reuid=65534", "--regid=65534", "--clear-groups", program};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return argv;
}

// setpriv becomes the program only after it changed its user: wait for that.
bool WaitUntilRunsAs(std::uint32_t pid, const std::string& name) {
  for (int i = 0; i < 200; ++i) {
    for (const auto& entry : TakeProcessSnapshot())
      if (entry.processId == pid && ProcessNameMatches(entry.exeFile, name)) return true;
    std::this_thread::sleep_for(50ms);
  }
  return false;
}

class OtherUserProcesses : public ::testing::Test {
 protected:
  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to start processes of another user";
    // The copies must be readable and runnable by nobody.
    std::filesystem::permissions(dir_.path(), std::filesystem::perms::all,
                                 std::filesystem::perm_options::add);
  }
  void TearDown() override { SetDebugPrivilege(true); }

  std::string Program(const std::string& fileName) {
    return testing::CopyProgramAs(testing::SysroutinesTestProgram("tarnvel_test_sleeper"), dir_.str(),
                                  fileName);
  }
  testing::TempDir dir_{"privilege"};
};

TEST_F(OtherUserProcesses, PrivilegeDecidesWhetherTheyCanBeEnded) {
  ChildProcess other(kSetpriv, AsNobody(Program("other_user_target"), {}));
  ASSERT_TRUE(WaitUntilRunsAs(other.Id(), "other_user_target"));

  EXPECT_TRUE(SetDebugPrivilege(false));
  EXPECT_FALSE(KillProcessByName("other_user_target"));
  EXPECT_FALSE(other.WaitForExit(300ms));

  EXPECT_TRUE(SetDebugPrivilege(true));
  EXPECT_TRUE(KillProcessByName("other_user_target"));
  EXPECT_TRUE(other.WaitForExit(10s));
}

TEST_F(OtherUserProcesses, WithoutRootARootProcessCannotBeEnded) {
  ChildProcess rootOwned(Program("root_owned_target"), {});
  // KillProcessByName run as nobody: it sees the root process only by argv[0]
  // (its exe link is not readable) and may not signal it.
  ChildProcess probe(kSetpriv, AsNobody(testing::SysroutinesTestProgram("tarnvel_kill_probe"),
                                        {"kill", "root_owned_target"}));
  ASSERT_TRUE(probe.WaitForExit(20s));
  EXPECT_EQ(probe.ExitCode(), 1);  // false
  EXPECT_FALSE(rootOwned.WaitForExit(300ms));

  ChildProcess nothing(
      kSetpriv, AsNobody(testing::SysroutinesTestProgram("tarnvel_kill_probe"), {"kill", "no_such_target"}));
  ASSERT_TRUE(nothing.WaitForExit(20s));
  EXPECT_EQ(nothing.ExitCode(), 0);
}

TEST_F(OtherUserProcesses, EmptyOrBlankNameEndsNothing) {
  // Seen from nobody, this root process is known only by its argv[0], whose
  // file-name part is empty.
  ChildProcess rootOwned("/bin/bash", {"-c", "exec -a tarnvel_empty_name/ " + Program("empty_name_target")});
  ASSERT_TRUE(WaitUntilRunsAs(rootOwned.Id(), "empty_name_target"));
  for (const std::string name : {"", "  "}) {
    ChildProcess probe(kSetpriv,
                       AsNobody(testing::SysroutinesTestProgram("tarnvel_kill_probe"), {"kill", name}));
    ASSERT_TRUE(probe.WaitForExit(20s));
    EXPECT_EQ(probe.ExitCode(), 0) << "'" << name << "'";  // nothing matched
  }
  EXPECT_FALSE(rootOwned.WaitForExit(300ms));
}

TEST(DebugPrivilege, AnswersWhetherOtherUsersMayBeSignalled) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to run a program as another user";
  EXPECT_TRUE(SetDebugPrivilege(true));
  ChildProcess probe(kSetpriv,
                     AsNobody(testing::SysroutinesTestProgram("tarnvel_kill_probe"), {"privilege"}));
  ASSERT_TRUE(probe.WaitForExit(20s));
  EXPECT_EQ(probe.ExitCode(), 1);
}

}  // namespace
}  // namespace tarnvel::sys
