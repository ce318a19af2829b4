// One updater at a time, and an interrupted update dealt with before the
// next: console runs of the real engine on CLIENT-only products.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "console/console_test_environment.h"
#include "driver/driver_fixture.h"
#include "frontends/console/console_run.h"
#include "sysroutines/lock_test.h"
#include "sysroutines/paths.h"
#include "sysroutines/run_lock.h"
#include "update/run_journal.h"

namespace tarnvel::console {
namespace {

using namespace tarnvel::testing;
using testing::ClientOnlyEnvironment;
namespace fs = std::filesystem;

class ConsoleInterrupted : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(dir_.path() / "bin");
    LayOutClientProduct(root_);
    before_ = TreeContents(root_);
  }

  int Run(const std::vector<std::string>& args) {
    out_.str("");
    err_.str("");
    return RunConsole(args, ClientOnlyEnvironment(dir_ / "bin", out_, err_, in_));
  }

  TempDir dir_{"interrupted"};
  std::string root_ = dir_ / "TarnVel";
  std::vector<std::pair<std::string, std::string>> before_;
  std::ostringstream out_, err_;
  std::istringstream in_;
};

TEST_F(ConsoleInterrupted, ASecondUpdaterIsRefusedWithTheHolderNamedAndChangesNothing) {
  std::string found;
  const auto held = sys::RunLock::TryAcquire(sys::RunLockFile(), "Updater_TarnVel (PID 4711), command update", found);
  ASSERT_TRUE(held) << found;
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--folder", root_, "--yes"},
                                               std::vector<std::string>{"online", "--folder", root_},
                                               std::vector<std::string>{"recover"}}) {
    SCOPED_TRACE(args.front());
    EXPECT_EQ(Run(args), 5);
    EXPECT_NE(err_.str().find("Updater_TarnVel (PID 4711), command update"), std::string::npos) << err_.str();
    EXPECT_EQ(out_.str(), "") << "the refused program logged";
  }
  EXPECT_EQ(TreeContents(root_), before_);
}

// The update was killed between the lock test's two renames: the product
// folder carries the lock-test name. Update and the database commands are
// refused until recover gives the folder its name back.
TEST_F(ConsoleInterrupted, AnInterruptedUpdateIsRecoveredBeforeAnythingElse) {
  const std::string renamed = sys::LockTestName(root_);
  {
    RunJournal journal(sys::MachineStateFolder(), {{"command", "update"}, {"folder", root_}, {"clientFound", "yes"},
                                                   {"serverFound", "no"}, {"client", "TarnVel.exe"}, {"pid", "1"}});
    ASSERT_TRUE(journal.Record(journal::kFolderRename, {{"to", renamed}}));
  }
  fs::rename(sys::PathFromUtf8(root_), sys::PathFromUtf8(renamed));

  for (const std::vector<std::string>& args : {std::vector<std::string>{"--folder", root_, "--yes"},
                                               std::vector<std::string>{"shutdown", "--folder", root_}}) {
    SCOPED_TRACE(args.front());
    EXPECT_EQ(Run(args), 4);
    EXPECT_NE(err_.str().find("recover"), std::string::npos) << err_.str();
    EXPECT_NE(err_.str().find(root_), std::string::npos) << err_.str();
  }
  EXPECT_TRUE(fs::exists(sys::PathFromUtf8(renamed)));

  EXPECT_EQ(Run({"recover"}), 0) << err_.str();
  EXPECT_EQ(TreeContents(root_), before_);
  EXPECT_FALSE(fs::exists(sys::PathFromUtf8(renamed)));
  EXPECT_FALSE(ReadUnfinishedJournal(sys::MachineStateFolder()));

  EXPECT_EQ(Run({"recover"}), 0) << "a second recovery has nothing to do";
  EXPECT_EQ(Run({"--folder", root_, "--yes"}), 0) << err_.str();
}

}  // namespace
}  // namespace tarnvel::console
