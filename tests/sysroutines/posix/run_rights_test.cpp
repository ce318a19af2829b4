// Linux: the rights a run needs are root's user id and four capabilities.
// The check runs as a program of its own, started as root, as nobody, and
// as root with capabilities taken away (setpriv), as an operator or a
// container would start it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "support/sysroutines_child_process.h"
#include "support/temp_dir.h"
#include "sysroutines/run_rights.h"

namespace tarnvel::sys {
namespace {

using namespace std::chrono_literals;
using testing::ChildProcess;
using testing::ReadFile;

TEST(MissingRunRights, NamesWhatTheProcessLacks) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to start the check as another user";
  testing::TempDir dir("rights");
  // Nobody writes its answer here too.
  std::filesystem::permissions(dir.path(), std::filesystem::perms::all, std::filesystem::perm_options::add);
  const std::string probe = testing::SysroutinesTestProgram("tarnvel_rights_probe");
  struct Case {
    const char* who;
    std::vector<std::string> setpriv;
    const char* missing;
  };
  const Case cases[] = {
      {"root", {}, ""},
      {"nobody",
       {"--reuid=65534", "--regid=65534", "--clear-groups"},
       "euid 0\nCAP_CHOWN\nCAP_DAC_OVERRIDE\nCAP_FOWNER\nCAP_KILL\n"},
      {"root without CAP_KILL", {"--inh-caps=-kill", "--bounding-set=-kill"}, "CAP_KILL\n"},
      {"root without CAP_CHOWN and CAP_FOWNER",
       {"--inh-caps=-chown,-fowner", "--bounding-set=-chown,-fowner"},
       "CAP_CHOWN\nCAP_FOWNER\n"},
  };
  int n = 0;
  for (const Case& c : cases) {
    const std::string answer = dir / ("answer" + std::to_string(++n));
    std::vector<std::string> arguments = c.setpriv;
    arguments.push_back(probe);
    arguments.push_back(answer);
    const bool direct = c.setpriv.empty();
    ChildProcess check(direct ? probe : "/usr/bin/setpriv",
                       direct ? std::vector<std::string>{answer} : arguments);
    ASSERT_TRUE(check.WaitForExit(20s)) << c.who;
    EXPECT_EQ(check.ExitCode(), 0) << c.who;
    EXPECT_EQ(ReadFile(answer), c.missing) << c.who;
  }
  EXPECT_TRUE(MissingRunRights().empty()) << "this test program runs as root";
}

}  // namespace
}  // namespace tarnvel::sys
