// A client executable that another program holds open without sharing (the
// operator's own TarnVel still running): the replacement fails, the operator
// is told at once, and the rollback restores the folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "driver/driver_fixture.h"
#include "support/disk_child.h"
#include "sysroutines/paths.h"
#include "update/update_context.h"

namespace tarnvel {
namespace {

using namespace testing;

class HeldClient : public ::testing::Test {
 protected:
  void SetUp() override {
    LayOutClientProduct(root_);
    before_ = TreeContents(Child(root_, "Program"));
    host_.Answer(DialogButton::Yes);
  }

  // Holds the installed client from the start of the replacement.
  void HoldClientAtReplacement() {
    host_.OnEntry(Text("uIS_TarnVel_8"), [this] {
      held_ = std::make_unique<HeldFile>(Child(Child(root_, "Program"), "TarnVel.exe"), dir_.str());
      ASSERT_TRUE(held_->IsHeld());
    });
  }

  std::string Run() {
    try {
      UpdateProgramm(host_, settings_, root_, "kelpdromux", "7", "Tarnvel");
    } catch (const std::exception& failure) {
      return failure.what();
    }
    return "(no failure)";
  }

  TempDir dir_{"heldclient"};
  const std::string root_ = dir_ / "TarnVel";
  std::vector<std::pair<std::string, std::string>> before_;
  ScriptedHost host_;
  UpdateSettings settings_ = TestSettings();
  std::unique_ptr<HeldFile> held_;
};

TEST_F(HeldClient, ClosedWhileTheErrorIsShownTheRollbackCompletes) {
  HoldClientAtReplacement();
  host_.onDialog = [this](const DialogRequest& box) {
    if (box.type == DialogType::Error) held_.reset();  // the operator closes the program
  };
  EXPECT_EQ(Run(), "");
  const UpdateContext& context = CurrentUpdateContext();
  ASSERT_EQ(host_.dialogs.size(), 2u);
  // With the system's reason: the file is in use (a sharing violation).
  EXPECT_EQ(host_.dialogs[1].text,
            Text("51", Child(context.NewDir, "TarnVel.exe"), Child(context.ProgramDir, "TarnVel.exe")) +
                "\r\n" + Text("uUpdate_SystemError_1"));
  EXPECT_TRUE(host_.RolledBack());
  EXPECT_EQ(host_.entries.back(), Text("46"));
  EXPECT_EQ(TreeContents(Child(root_, "Program")), before_);
}

// Held for the whole run, the client was never replaced: the rollback finds
// the folder equal to its backup and leaves it alone, so nothing is deleted
// around the held file and the rollback is complete.
TEST_F(HeldClient, StillHeldNothingIsRebuiltAndTheRollbackCompletes) {
  HoldClientAtReplacement();
  const std::string text = Run();
  held_.reset();
  EXPECT_EQ(text, "");
  EXPECT_TRUE(host_.RolledBack());
  EXPECT_EQ(host_.entries.back(), Text("46"));
  EXPECT_EQ(TreeContents(Child(root_, "Program")), before_);
  EXPECT_EQ(TreeContents(CurrentUpdateContext().OldProgramDir), before_);
}

// A file that the failed replacement changed is put back while another
// program holds a different file of the folder open. Windows refuses to
// rename a folder with a file held inside, so the rollback goes file by
// file there (Wine renames it anyway, and the swap is taken): either way the
// folder ends as it was and the held file is never deleted.
TEST_F(HeldClient, AChangedFileIsPutBackBesideAHeldOne) {
  const std::string held = Child(Child(Child(root_, "Program"), "help"), "index.html");
  const std::string ini = Child(Child(root_, "Program"), "TarnVel.ini");
  host_.OnEntry(Text("uIS_TarnVel_8"), [&] {
    WriteFile(sys::PathFromUtf8(ini), "damaged");
    held_ = std::make_unique<HeldFile>(held, dir_.str());
    ASSERT_TRUE(held_->IsHeld());
    std::filesystem::remove(sys::PathFromUtf8(Child(CurrentUpdateContext().NewDir, "TarnVel.exe")));
  });
  const std::string text = Run();
  held_.reset();
  EXPECT_EQ(text, "");
  EXPECT_TRUE(host_.RolledBack());
  EXPECT_EQ(TreeContents(Child(root_, "Program")), before_);
}

}  // namespace
}  // namespace tarnvel
