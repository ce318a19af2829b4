// The SYSDBA password read from the environment is taken out of it before
// the run starts anything: the payload, run as root, never inherits it, nor
// does any program started later; the C runtime's copy loses it too.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "driver/driver_fixture.h"
#include "frontends/console/console_run.h"
#include "support/disk_child.h"
#include "support/test_environment.h"
#include "sysroutines/paths.h"
#include "sysroutines/run_and_wait.h"

namespace tarnvel::console {
namespace {

using namespace testing;
namespace fs = std::filesystem;

// What a program the run would start sees of Name.
std::string SeenByAChild(const std::string& folder, const std::string& name) {
  const std::string child =
      Child(folder, "child") + sys::PathToUtf8(sys::PathFromUtf8(TestChildPath()).extension());
  if (!fs::exists(sys::PathFromUtf8(child)))
    fs::copy_file(sys::PathFromUtf8(TestChildPath()), sys::PathFromUtf8(child));
  sys::RunAndWait(child, " env " + name, sys::kShowNormal);
  return ReadFile(sys::PathFromUtf8(Child(folder, "child_env.txt")));
}

TEST(ConsolePasswordEnvironment, NoProgramStartedByTheRunInheritsThePassword) {
  TempDir dir("password-env");
  fs::create_directories(dir.path() / "bin");
  const std::string root = dir / "TarnVel";
  LayOutClientProduct(root);
  for (const bool named : {false, true}) {
    SCOPED_TRACE(named ? "--sysdba-password-env" : "TARNVEL_SYSDBA_PASSWORD");
    SetTestEnvironmentVariable("TARNVEL_SYSDBA_PASSWORD", "kelpdromux");
    SetTestEnvironmentVariable("OPERATOR_PW", "kelpdromux");
    ASSERT_EQ(SeenByAChild(dir.str(), "TARNVEL_SYSDBA_PASSWORD"), "kelpdromux")
        << "the child does not see the environment";

    std::ostringstream out, err;
    std::istringstream in;
    ConsoleEnvironment env;  // the real environment
    env.form.executablePath = Child(dir / "bin", "Updater_TarnVel_console");
    env.form.discoverServer = [](firebird::TFBServParams&) {};
    env.out = &out;
    env.err = &err;
    env.in = &in;
    env.inputIsTerminal = false;
    // Right before the run starts its payload, a program started then is
    // asked what it inherits.
    std::string seenByPayload;
    env.onEntry = [&](const std::string& text) {
      if (text != Text("36")) return;
      seenByPayload =
          SeenByAChild(dir.str(), "TARNVEL_SYSDBA_PASSWORD") + " " + SeenByAChild(dir.str(), "OPERATOR_PW");
    };
    std::vector<std::string> args = {"--folder", root, "--yes"};
    if (named) args.insert(args.end(), {"--sysdba-password-env", "OPERATOR_PW"});
    ASSERT_EQ(RunConsole(args, std::move(env)), 0) << err.str();

    EXPECT_EQ(seenByPayload, named ? "(unset) (unset)" : "(unset) kelpdromux");
    EXPECT_EQ(SeenByAChild(dir.str(), "TARNVEL_SYSDBA_PASSWORD"), "(unset)");
    EXPECT_EQ(SeenByAChild(dir.str(), "OPERATOR_PW"), named ? "(unset)" : "kelpdromux");
    // The C runtime's copy of the environment lost it too.
    EXPECT_EQ(std::getenv("TARNVEL_SYSDBA_PASSWORD"), nullptr);
    EXPECT_EQ(std::getenv("OPERATOR_PW") == nullptr, named);
  }
}

}  // namespace
}  // namespace tarnvel::console
