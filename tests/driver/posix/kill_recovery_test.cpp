// Runs killed for real (SIGKILL) at exact points of a whole CLIENT+SERVER
// update against the real server, then recovered from their journal. After
// the recovery the product is as an operator may leave it: the database
// answers a normal user, the service runs, Program is the old product or the
// old product with the new client, the folder has its own name, the journal
// has ended, and a normal update succeeds.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "driver/posix/server_fixture.h"
#include "support/sysroutines_child_process.h"
#include "update/recovery.h"
#include "update/run_journal.h"
#include "update/update_context.h"

namespace tarnvel {
namespace {

using namespace testing;
namespace fs = std::filesystem;

struct KillPoint {
  const char* stop;
  int programMb;
  bool newClientStays;  // the replacement had completed
};

class KilledRun : public ServerRun {};

TEST_F(KilledRun, EveryKillPointIsRecoveredWithOneCommand) {
#if defined(__SANITIZE_ADDRESS__)
  // The test passes under AddressSanitizer, but LeakSanitizer's own tracer
  // then crashes at the program's exit ("Tracer caught signal 11") after this
  // many Firebird client sessions, which fails the program; the plain native
  // suite runs it in full.
  GTEST_SKIP() << "LeakSanitizer's exit check crashes after this test; run in the plain native suite";
#endif
  const KillPoint points[] = {
      {"entry:uUpdate_UpdateProgramm_19", 4, false},  // database shut down
      {"entry:uUpdate_UpdateProgramm_22", 4, false},  // service stopped
      {"entry:uUpdate_UpdateProgramm_24", 4, false},  // space checked, service still stopped
      {"rename", 4, false},                          // product folder under the lock-test name
      {"backup-copy", 200, false},                   // inside the backup copy
      {"entry:uUpdate_UpdateProgramm_39", 4, false},  // backup complete
      {"entry:uIS_TarnVel_8", 4, false},             // replacement about to begin
      {"replacement", 4, false},                     // new client's copy beside the old one
      {"rollback-copy", 200, false},                 // inside the rollback's copy back
      {"entry:uUpdate_UpdateProgramm_48", 4, true},   // client replaced, database about to go online
  };
  const std::string state = productsDir_ + "/state";
  settings_.stateFolder = state;
  for (const KillPoint& point : points) {
    SCOPED_TRACE(point.stop);
    MakeProduct("--program-mb " + std::to_string(point.programMb));
    const auto before = TreeContents(root_ + "/Program");
    const std::string ready = productsDir_ + "/ready";
    fs::remove(ready);
    {
      ChildProcess run(fs::absolute(TARNVEL_KILLED_RUN).string(), {root_, state, point.stop, ready, "server"});
      bool ended = false;
      for (int i = 0; i < 1200 && !fs::exists(ready) && !ended; ++i) ended = run.WaitForExit(std::chrono::milliseconds(100));
      ASSERT_TRUE(fs::exists(ready)) << "the run did not reach its stop point";
    }  // SIGKILL
    ASSERT_TRUE(ReadUnfinishedJournal(state)) << "the killed run left no journal";

    host_ = ScriptedHost();
    try {
      RecoverInterruptedRun(host_, settings_, "kelpdromux");
    } catch (const std::exception& failure) {
      ADD_FAILURE() << "recovery failed: " << failure.what();
    }
    EXPECT_FALSE(ReadUnfinishedJournal(state)) << "the journal did not end";
    EXPECT_TRUE(ServerAnswers(true)) << "the service was left stopped";
    EXPECT_TRUE(DatabaseOnline()) << AttachAs("CLERK1", "clerk1pw");
    EXPECT_FALSE(fs::exists(root_ + "_")) << "the folder kept the lock-test name";
    auto expected = before;
    if (point.newClientStays) {
      for (auto& [name, bytes] : expected)
        if (name == "TarnVel.exe") bytes = NewClientBytes();
    }
    EXPECT_TRUE(TreeContents(root_ + "/Program") == expected) << "Program is neither the old product nor the old one with the new client";

    // A second recovery has nothing left to do, and a normal update succeeds.
    host_ = ScriptedHost();
    RecoverInterruptedRun(host_, settings_, "kelpdromux");
    host_.Answer(DialogButton::Yes);
    EXPECT_EQ(Run(), "(no failure)");
    EXPECT_TRUE(DatabaseOnline());
  }
}

}  // namespace
}  // namespace tarnvel
