// CLIENT-only update runs ended for real (SIGKILL; TerminateProcess on
// Windows) at exact points, then recovered from their journal: Program is the
// old product or the old product with the new client, the folder has its own
// name, the journal has ended, and a normal update succeeds.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "driver_fixture.h"
#include "support/sysroutines_child_process.h"
#include "sysroutines/lock_test.h"
#include "sysroutines/paths.h"
#include "update/recovery.h"
#include "update/run_journal.h"

namespace tarnvel {
namespace {

using namespace testing;
namespace fs = std::filesystem;

TEST(ClientKilledRun, EveryKillPointIsRecoveredWithOneCommand) {
  const struct {
    const char* stop;
    bool newClientStays;
  } points[] = {
      {"rename", false},                // the product folder under the lock-test name
      {"backup-copy", false},           // inside the backup copy
      {"entry:uIS_TarnVel_8", false},   // the replacement about to begin
      {"replacement", false},           // the new client's copy beside the old one
      {"rollback-copy", false},         // inside the rollback's copy back
  };
  TempDir dir("client-killed");
  const std::string root = dir / "TarnVel";
  const std::string state = dir / "state";
  UpdateSettings settings = TestSettings();
  settings.stateFolder = state;
  for (const auto& point : points) {
    SCOPED_TRACE(point.stop);
    LayOutClientProduct(root);
    for (int i = 0; i < 8; ++i)
      WriteFile(sys::PathFromUtf8(Child(Child(Child(root, "Program"), "bulk"), "part" + std::to_string(i))),
                std::string(1 << 20, static_cast<char>('a' + i)));
    const auto before = TreeContents(Child(root, "Program"));
    const std::string ready = dir / "ready";
    fs::remove(sys::PathFromUtf8(ready));
    {
      ChildProcess run(sys::PathToUtf8(fs::absolute(TARNVEL_KILLED_RUN)), {root, state, point.stop, ready});
      bool ended = false;
      for (int i = 0; i < 1200 && !fs::exists(sys::PathFromUtf8(ready)) && !ended; ++i)
        ended = run.WaitForExit(std::chrono::milliseconds(100));
      ASSERT_TRUE(fs::exists(sys::PathFromUtf8(ready))) << "the run did not reach its stop point";
    }  // ended here, as power loss would end it
    ASSERT_TRUE(ReadUnfinishedJournal(state)) << "the killed run left no journal";

    ScriptedHost host;
    try {
      RecoverInterruptedRun(host, settings, "kelpdromux");
    } catch (const std::exception& failure) {
      ADD_FAILURE() << "recovery failed: " << failure.what();
    }
    EXPECT_FALSE(ReadUnfinishedJournal(state)) << "the journal did not end";
    EXPECT_FALSE(fs::exists(sys::PathFromUtf8(sys::LockTestName(root)))) << "the folder kept the lock-test name";
    EXPECT_TRUE(TreeContents(Child(root, "Program")) == before) << "Program is not the old product";

    ScriptedHost again;
    again.Answer(DialogButton::Yes);
    EXPECT_NO_THROW(UpdateProgramm(again, settings, root, "kelpdromux", "7", "Tarnvel"));
    EXPECT_TRUE(ReadFile(sys::PathFromUtf8(Child(Child(root, "Program"), "TarnVel.exe"))) == NewClientBytes());
  }
}

}  // namespace
}  // namespace tarnvel
