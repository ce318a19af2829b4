// Update runs that go wrong, against the real server, where the operator
// checks afterwards what they would check: every installed file, the database
// answering a normal user, the server's service running, nothing outside the
// product changed, and what is left in the working folder.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "driver/posix/server_fixture.h"
#include "i18n/ldm.h"
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
    EXPECT_TRUE(TreeContents(root_ + "/Program") == program_) << "Program changed";
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

// A replacement that fails after it changed installed files (simulated: two
// files of Program damaged, then the new client taken away) is rolled back
// without deleting anything installed first: by a swap with a complete copy
// of the backup, or, where the swap cannot happen (Program mounted on its
// own), file by file, replacing only the files that differ. What cannot be
// put back is named, with the place of the backup.
TEST_F(FailurePath, ARollbackNeverDeletesWhatItCannotPutBack) {
  enum class Case { Swap, FileByFile, FileThatStays };
  for (Case what : {Case::Swap, Case::FileByFile, Case::FileThatStays}) {
    SCOPED_TRACE(static_cast<int>(what));
    MakeProduct("--program-mb 2");
    const auto program = TreeContents(root_ + "/Program");
    std::vector<std::string> bulk;
    for (const auto& entry : fs::directory_iterator(root_ + "/Program/bulk")) bulk.push_back(entry.path().string());
    std::sort(bulk.begin(), bulk.end());
    ASSERT_GE(bulk.size(), 3u);
    struct stat untouched {}, database {};
    ASSERT_EQ(stat(bulk[2].c_str(), &untouched), 0);
    ASSERT_EQ(stat((root_ + "/DB_Data/TarnVel.fdb").c_str(), &database), 0);

    bool mounted = false;
    host_ = ScriptedHost();
    host_.Answer(DialogButton::Yes);
    host_.OnEntry(Text("39"), [&] {
      if (what != Case::Swap) mounted = Shell("mount --bind '" + root_ + "/Program' '" + root_ + "/Program'") == 0;
    });
    host_.OnEntry(Text("uIS_TarnVel_8"), [&] {
      WriteFile(bulk[0], "damaged");
      WriteFile(bulk[1], "damaged too");
      if (what == Case::FileThatStays) Shell("chattr +i '" + bulk[1] + "'");
      fs::remove(CurrentUpdateContext().NewDir + "/TarnVel.exe");
    });
    const std::string text = Run();
    Shell("chattr -i '" + bulk[1] + "'");
    if (mounted) Shell("umount '" + root_ + "/Program'");
    if (what != Case::Swap) ASSERT_TRUE(mounted) << "Program could not be mounted on its own";

    const UpdateContext& context = CurrentUpdateContext();
    EXPECT_TRUE(host_.RolledBack());
    EXPECT_TRUE(TreeContents(context.OldProgramDir) == program) << "the backup changed";
    EXPECT_TRUE(fs::exists(context.OldDBDataDir + "/TarnVel.fdb"));
    EXPECT_TRUE(DatabaseOnline()) << AttachAs("CLERK1", "clerk1pw");
    ExpectCanaryUntouched();
    struct stat databaseAfter {};
    ASSERT_EQ(stat((root_ + "/DB_Data/TarnVel.fdb").c_str(), &databaseAfter), 0);
    EXPECT_EQ(databaseAfter.st_ino, database.st_ino) << "the unchanged database was rebuilt";
    if (what == Case::FileThatStays) {
      const std::string head = Text("47") + "\rException Message: ";
      EXPECT_EQ(text.rfind(head, 0), 0u) << text;
      EXPECT_NE(text.find(i18n::GetMessageText("uUpdate_RestoreFilesFromBackup_1", bulk[1])), std::string::npos)
          << text;
      EXPECT_EQ(text.find(bulk[0]), std::string::npos) << "a restored file is listed: " << text;
      EXPECT_NE(text.find(Text("54", context.OldDir + "/")), std::string::npos) << text;
      EXPECT_EQ(ReadFile(bulk[1]), "damaged too");
      EXPECT_EQ(ReadFile(bulk[0]), ReadFile(context.OldProgramDir + "/bulk/" + fs::path(bulk[0]).filename().string()));
    } else {
      EXPECT_EQ(text, "");
      EXPECT_TRUE(TreeContents(root_ + "/Program") == program) << "Program is not as it was";
    }
    struct stat untouchedAfter {};
    ASSERT_EQ(stat(bulk[2].c_str(), &untouchedAfter), 0);
    if (what == Case::Swap) {
      EXPECT_EQ(ReadFile(context.TmpDir + "/Program.replaced/bulk/" + fs::path(bulk[0]).filename().string()),
                "damaged")
          << "the part as the run left it is kept in the working folder";
    } else {
      EXPECT_EQ(untouchedAfter.st_ino, untouched.st_ino) << "a file equal to its backup was rebuilt";
      EXPECT_FALSE(fs::exists(context.TmpDir + "/Program.replaced"));
    }
  }
}

// Something takes the product folder's name while the lock test has it
// renamed. Gone within the retries, the run goes on as usual; still there,
// the operator learns both names, and the database goes online where it now
// lies instead of being left shut down.
TEST_F(FailurePath, AFolderThatCannotGetItsNameBackIsNamedAndItsDatabaseComesOnline) {
  for (const bool blockerStays : {false, true}) {
    SCOPED_TRACE(blockerStays ? "the name stays taken" : "the name is free again");
    const auto program = TreeContents(root_ + "/Program");
    host_ = ScriptedHost();
    host_.Answer(DialogButton::Yes);
    settings_.lockTest.betweenRenames = [&] { WriteFile(root_, "takes the folder's name"); };
    settings_.lockTest.pause = [&](std::chrono::milliseconds) {
      if (!blockerStays) fs::remove(root_);
    };
    const std::string text = Run();
    if (!blockerStays) {
      EXPECT_EQ(text, "(no failure)");
      EXPECT_TRUE(DatabaseOnline());
      continue;
    }
    const std::string renamed = root_ + "_";
    EXPECT_EQ(text, Text("34") + "\r" + i18n::GetMessageText("uUpdate_UpdateProgramm_57", renamed, root_));
    EXPECT_EQ(host_.entries.back(), Text("49"));
    EXPECT_TRUE(DatabaseOnlineFor(renamed)) << "the database was left shut down";
    EXPECT_TRUE(ServerAnswers());
    EXPECT_TRUE(TreeContents(renamed + "/Program") == program) << "Program changed";
    ExpectCanaryUntouched();
    fs::remove(root_);
    fs::rename(renamed, root_);
  }
}

}  // namespace
}  // namespace tarnvel
