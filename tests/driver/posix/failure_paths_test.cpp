// Update runs that go wrong, against the real server, where the operator
// checks afterwards what they would check: every installed file, the database
// answering a normal user, the server's service running, nothing outside the
// product changed, and what is left in the working folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "driver/posix/server_fixture.h"
#include "sysroutines/paths.h"
#include "update/update_context.h"

namespace tarnvel {
namespace {

using namespace testing;
namespace fs = std::filesystem;

int Shell(const std::string& command) {
  return std::system((command + " >/dev/null 2>&1").c_str());
}

class FailurePath : public ServerRun {
 protected:
  void SetUp() override {
    ServerRun::SetUp();
    if (IsSkipped()) return;
    canary_ = productsDir_ + "/canary";
    WriteFile(canary_ + "/keep.txt", "outside the product");
    WriteFile(canary_ + "/deeper/keep.bin", std::string(1000, 'c'));
    program_ = TreeContents(root_ + "/Program");
    database_ = ReadFile(root_ + "/DB_Data/TarnVel.fdb");
    host_.Answer(DialogButton::Yes);
  }

  // What must hold after any failed run that did not replace the client.
  void ExpectProductAsItWas() {
    EXPECT_TRUE(ServerAnswers(true)) << "the service was left stopped";
    EXPECT_TRUE(DatabaseOnline()) << AttachAs("CLERK1", "clerk1pw");
    EXPECT_EQ(TreeContents(root_ + "/Program"), program_);
    EXPECT_TRUE(fs::exists(root_ + "/DB_Data/TarnVel.fdb"));
    EXPECT_FALSE(fs::exists(root_ + "_")) << "the folder kept the lock-test name";
    ExpectCanaryUntouched();
  }
  void ExpectCanaryUntouched() {
    EXPECT_EQ(ReadFile(canary_ + "/keep.txt"), "outside the product");
    EXPECT_EQ(ReadFile(canary_ + "/deeper/keep.bin"), std::string(1000, 'c'));
  }

  std::string canary_;
  std::vector<std::pair<std::string, std::string>> program_;
  std::string database_;
};

// From the shutdown on, a log that can no longer be written (its disk full,
// its folder removed) must not keep the database shut down or the service
// stopped: the service start and the online call still happen, and the
// operator learns that the log failed.
TEST_F(FailurePath, ALogThatFailsDuringTheServerPreparationLeavesNothingDown) {
  for (const char* entry : {"19", "21", "22", "24", "26", "27"}) {
    SCOPED_TRACE(std::string("the log fails from the entry after ") + entry);
    host_ = ScriptedHost();
    host_.Answer(DialogButton::Yes);
    host_.OnEntry(Text(entry), [this] { host_.logFailure = "log file: disk full"; });
    const std::string text = Run();
    EXPECT_NE(text.find("log file: disk full"), std::string::npos) << text;
    const std::string actions = ServiceActions();
    EXPECT_TRUE(actions.size() >= 6 && actions.compare(actions.size() - 6, 6, "start ") == 0) << actions;
    ExpectProductAsItWas();
  }
}

TEST_F(FailurePath, ANewFolderThatStaysIsNeverLoggedAsDeleted) {
  // An empty sub-folder that cannot be removed: its removal fails without an
  // error, and New stays.
  std::string stuck;
  host_.OnEntry(Text("39"), [&] {
    stuck = CurrentUpdateContext().NewDir + "/stuck";
    fs::create_directory(stuck);
    Shell("chattr +i '" + stuck + "'");
  });
  const std::string text = Run();
  Shell("chattr -i '" + stuck + "'");
  EXPECT_EQ(text, "(no failure)");
  const UpdateContext& context = CurrentUpdateContext();
  EXPECT_TRUE(fs::exists(context.NewDir));
  EXPECT_EQ(std::count(host_.entries.begin(), host_.entries.end(),
                       Text("42", sys::IncludeTrailingPathDelimiter(context.TmpDir), "New")),
            1);
  EXPECT_EQ(std::count(host_.entries.begin(), host_.entries.end(),
                       Text("41", sys::IncludeTrailingPathDelimiter(context.NewDir))),
            0);
  EXPECT_TRUE(DatabaseOnline());
}

}  // namespace
}  // namespace tarnvel
