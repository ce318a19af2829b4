// Update runs of a product that has only its CLIENT part: no database and no
// service are involved, so they run the same on both targets.
#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <sstream>

#include "driver_fixture.h"
#include "i18n/ldm.h"
#include "support/disk_child.h"
#include "support/failure_text.h"
#include "support/sysroutines_child_process.h"
#include "sysroutines/paths.h"
#include "update/run_journal.h"
#include "update/update_context.h"

namespace tarnvel {
namespace {

using namespace testing;
namespace fs = std::filesystem;

class ClientRun : public ::testing::Test {
 protected:
  void SetUp() override { LayOutClientProduct(root_); }

  // Runs the update with the given confirmation answer; returns the failure
  // text, "(no failure)" or "(silent abort)".
  std::string Run(const std::string& admn = "7", const std::string& key = "Tarnvel") {
    try {
      UpdateProgramm(host_, settings_, root_, "kelpdromux", admn, key);
    } catch (const SilentAbort&) {
      return "(silent abort)";
    } catch (const std::exception& failure) {
      return failure.what();
    }
    return "(no failure)";
  }

  std::string Program(const std::string& name = "") const {
    return name.empty() ? Child(root_, "Program") : Child(Child(root_, "Program"), name);
  }

  TempDir dir_{"clientrun"};
  const std::string root_ = dir_ / "TarnVel";
  ScriptedHost host_;
  UpdateSettings settings_ = TestSettings();
};

TEST_F(ClientRun, ReplacesTheClientAndKeepsTheBackup) {
  const auto before = TreeContents(Program());
  host_.SetRolledBack(true);  // a run starts by clearing it
  host_.Answer(DialogButton::Yes);
  EXPECT_EQ(Run(""), "(no failure)");  // no SERVER part: the ADMN box is not looked at

  const UpdateContext& context = CurrentUpdateContext();
  EXPECT_EQ(host_.entries,
            InitEntries() + Entries({"32", "35", "36", "37", "38", "39", "uIS_TarnVel_8"}) +
                std::vector<std::string>{Text("41", sys::IncludeTrailingPathDelimiter(context.NewDir))});
  EXPECT_FALSE(host_.RolledBack());

  ASSERT_EQ(host_.dialogs.size(), 1u);
  const DialogRequest& confirm = host_.dialogs[0];
  EXPECT_EQ(confirm.type, DialogType::Information);
  EXPECT_EQ(confirm.text, i18n::GetMessageText("uUpdate_UpdateProgramm_5", root_, Text("2"), "Tarnvel"));
  EXPECT_EQ(confirm.buttons, (std::vector<DialogButton>{DialogButton::Yes, DialogButton::No}));
  EXPECT_EQ(confirm.defaultButton, DialogButton::No);
  EXPECT_EQ(confirm.escapeButton, DialogButton::No);

  // The new client is in place; the backup holds the whole old Program
  // folder; New is gone, the working folder stays.
  EXPECT_TRUE(ReadFile(sys::PathFromUtf8(Program("TarnVel.exe"))) == NewClientBytes())
      << "not the new client";
  const std::string tmp = WorkingFolder(root_);
  EXPECT_EQ(tmp, context.TmpDir);
  EXPECT_EQ(TreeContents(Child(Child(tmp, "Old"), "Program")), before);
  EXPECT_FALSE(fs::exists(sys::PathFromUtf8(Child(tmp, "New"))));
  EXPECT_FALSE(fs::exists(sys::PathFromUtf8(Child(Child(tmp, "Old"), "DB_Data"))));

  // The backup copy showed its progress, from the start to its end.
  ASSERT_GE(host_.progress.size(), 2u);
  EXPECT_EQ(host_.progress.front().source, context.ProgramDir);
  EXPECT_EQ(host_.progress.front().target, context.OldProgramDir);
  EXPECT_EQ(host_.progress.front().bytesDone, 0u);
  EXPECT_EQ(host_.progress.back().bytesDone, host_.progress.back().bytesTotal);
  std::uint64_t bytes = 0;
  for (const auto& [name, content] : before) bytes += content.size();
  EXPECT_EQ(host_.progress.back().bytesTotal, bytes);
}

TEST_F(ClientRun, DecliningTheConfirmationChangesNothing) {
  const auto before = TreeContents(root_);
  for (DialogButton answer : {DialogButton::No, DialogButton::Cancel}) {
    host_.entries.clear();
    host_.Answer(answer);
    EXPECT_EQ(Run(), "(silent abort)");
    EXPECT_EQ(host_.entries, InitEntries());
  }
  EXPECT_EQ(TreeContents(root_), before);
}

TEST_F(ClientRun, TheSilentAbortOfTheConfirmationCarriesTheCancelText) {
  host_.Answer(DialogButton::No);
  try {
    UpdateProgramm(host_, settings_, root_, "kelpdromux", "7", "Tarnvel");
    ADD_FAILURE() << "no abort";
  } catch (const SilentAbort& abort) {
    EXPECT_EQ(std::string(abort.what()), Text("6"));
  }
}

TEST_F(ClientRun, NeitherPartFoundNamesTheFolderAsTyped) {
  const std::string typed = sys::PathToUtf8(sys::PathFromUtf8(dir_.str()) / "TarnVel" / "Program" / "..");
  fs::remove_all(sys::PathFromUtf8(Program()));
  for (const std::string key : {"Tarnvel", "Other"}) {
    try {
      UpdateProgramm(host_, settings_, typed, "kelpdromux", "7", key);
      ADD_FAILURE() << "no failure";
    } catch (const std::exception& failure) {
      EXPECT_EQ(std::string(failure.what()), Text("4", typed, key));
    }
  }
  EXPECT_TRUE(host_.dialogs.empty());
}

TEST_F(ClientRun, AMissingNewClientFailsBeforeTheBackupAndRemovesTheWorkingFolder) {
  // The payload ran but left no client, as a broken package would: the
  // client is taken away when RunAndWait lets messages through after the wait.
  const auto before = TreeContents(root_);
  std::string newClient;
  struct Host : ScriptedHost {
    std::function<void()> afterWait;
    void ProcessMessages() override {
      ScriptedHost::ProcessMessages();
      afterWait();
    }
  } host;
  host.Answer(DialogButton::Yes);
  host.afterWait = [&] {
    const std::string client = Child(CurrentUpdateContext().NewDir, "TarnVel.exe");
    if (fs::exists(sys::PathFromUtf8(client))) {
      newClient = client;
      fs::remove(sys::PathFromUtf8(client));
    }
  };
  std::string text;
  try {
    UpdateProgramm(host, settings_, root_, "kelpdromux", "7", "Tarnvel");
  } catch (const std::exception& failure) {
    text = failure.what();
  }
  ASSERT_FALSE(newClient.empty());
  EXPECT_EQ(text, Text("52", newClient));
  EXPECT_EQ(host.entries, InitEntries() + Entries({"32", "35", "36"}));
  EXPECT_EQ(WorkingFolder(root_), "");
  EXPECT_EQ(TreeContents(root_), before);
}

TEST_F(ClientRun, AFailedReplacementIsShownAndRolledBack) {
  // The new client vanishes between its announcement and the copy: the copy
  // reports failure, which must not pass for success.
  const auto before = TreeContents(Program());
  host_.Answer(DialogButton::Yes);
  host_.OnEntry(Text("uIS_TarnVel_8"),
                [] { fs::remove(sys::PathFromUtf8(Child(CurrentUpdateContext().NewDir, "TarnVel.exe"))); });
  EXPECT_EQ(Run(), "");  // a complete rollback ends with an empty text

  const UpdateContext& context = CurrentUpdateContext();
  const std::string copyFailure =
      Text("51", Child(context.NewDir, "TarnVel.exe"), Child(context.ProgramDir, "TarnVel.exe")) + "\r\n" +
      Text("uUpdate_SystemError_6");  // the system's reason: nothing there to copy
  ASSERT_EQ(host_.dialogs.size(), 2u);
  EXPECT_EQ(host_.dialogs[1].type, DialogType::Error);
  EXPECT_EQ(host_.dialogs[1].text, copyFailure);
  EXPECT_EQ(host_.dialogs[1].buttons, std::vector<DialogButton>{DialogButton::Ok});

  EXPECT_TRUE(host_.RolledBack());
  EXPECT_EQ(host_.captions, std::vector<std::string>{Text("43")});
  EXPECT_EQ(host_.entries,
            InitEntries() + Entries({"32", "35", "36", "37", "38", "39", "uIS_TarnVel_8"}) +
                std::vector<std::string>{"Exception Message: " + copyFailure + "\r" + Text("44")} +
                Entries({"45", "46"}));
  EXPECT_EQ(TreeContents(Program()), before);
  EXPECT_FALSE(fs::exists(sys::PathFromUtf8(context.NewDir)));
  EXPECT_EQ(TreeContents(context.OldProgramDir), before);
}

TEST_F(ClientRun, ARollbackThatCannotRestoreEveryFileSaysWhichAndKeepsTheBackup) {
  host_.Answer(DialogButton::Yes);
  // Two single-file backups whose targets cannot be written (their folders do not exist).
  host_.OnEntry(Text("39"), [this] {
    const std::string other = CurrentUpdateContext().OldOtherDir;
    for (const char* name : {"a.txt", "b.txt"}) {
      std::string encoded;
      for (char c : Child(Child(dir_.str(), "missing"), name)) {
        if (c == sys::kPathDelimiter)
          encoded += "{5C}";
        else if (c == ':')
          encoded += "{3A}";
        else
          encoded += c;
      }
      WriteFile(sys::PathFromUtf8(Child(other, encoded)), name);
    }
  });
  host_.OnEntry(Text("uIS_TarnVel_8"),
                [] { fs::remove(sys::PathFromUtf8(Child(CurrentUpdateContext().NewDir, "TarnVel.exe"))); });
  const std::string text = Run();

  const std::string head = Text("47") + "\rException Message: ";
  const std::string tail = "\r" + Text("54", sys::IncludeTrailingPathDelimiter(CurrentUpdateContext().OldDir));
  ASSERT_EQ(text.rfind(head, 0), 0u) << text;
  ASSERT_GT(text.size(), head.size() + tail.size()) << text;
  ASSERT_EQ(text.substr(text.size() - tail.size()), tail) << "the text does not say where the backup is";
  const std::string lines = text.substr(head.size(), text.size() - head.size() - tail.size());
  EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 2) << lines;
  EXPECT_NE(lines.find("a.txt"), std::string::npos);
  EXPECT_NE(lines.find("b.txt"), std::string::npos);
  EXPECT_EQ(lines.substr(lines.size() - 2), "\r\n");
  EXPECT_TRUE(host_.RolledBack());
  EXPECT_EQ(host_.entries.back(), Text("45"));
  EXPECT_TRUE(fs::exists(sys::PathFromUtf8(Child(CurrentUpdateContext().OldProgramDir, "TarnVel.exe"))));
}

TEST_F(ClientRun, ALogThatCannotBeWrittenDoesNotStopTheRestore) {
  // The replacement destroyed the installed client, and then the log fails
  // (its disk filled up): the client must still come back from the backup.
  const auto before = TreeContents(Program());
  host_.Answer(DialogButton::Yes);
  host_.OnEntry(Text("uIS_TarnVel_8"), [this] {
    fs::remove(sys::PathFromUtf8(Child(CurrentUpdateContext().NewDir, "TarnVel.exe")));
    fs::remove(sys::PathFromUtf8(Program("TarnVel.exe")));
  });
  host_.OnEntry(Text("45"), [] { throw std::runtime_error("log file: disk full"); });
  const std::string text = Run();
  EXPECT_EQ(text, "Exception Message: log file: disk full");
  EXPECT_TRUE(host_.RolledBack());
  EXPECT_EQ(host_.entries.back(), Text("46"));
  EXPECT_EQ(TreeContents(Program()), before);
}

// Whatever holds the working folder's name already (an earlier run in the
// same second, a planted file, a link to a folder outside the product) is
// neither removed nor entered: the run works in a folder of its own.
TEST_F(ClientRun, TheWorkingFolderIsAlwaysANewOneOfTheRunsOwn) {
  const std::string outside = Child(dir_.str(), "outside");
  WriteFile(sys::PathFromUtf8(Child(outside, "keep.txt")), "not the product's");
  const auto before = TreeContents(Program());
  enum class Holder { EarlierRun, File, Link };
  for (Holder holder : {Holder::EarlierRun, Holder::File, Holder::Link}) {
    SCOPED_TRACE(static_cast<int>(holder));
    LayOutClientProduct(root_);
    std::string stamped;
    bool planted = true;
    host_ = ScriptedHost();
    host_.Answer(DialogButton::Yes);
    host_.OnEntry(Text("uUpdate_UpdateInit_4"), [&] {
      stamped = CurrentUpdateContext().TmpDir;
      const fs::path path = sys::PathFromUtf8(stamped);
      std::error_code error;
      switch (holder) {
        case Holder::EarlierRun:
          WriteFile(path / "Old" / "Program" / "TarnVel.exe", "the earlier run's backup");
          break;
        case Holder::File:
          WriteFile(path, "a file");
          break;
        case Holder::Link:
          fs::create_directory_symlink(sys::PathFromUtf8(outside), path, error);
          planted = !error;
          break;
      }
    });
    ASSERT_EQ(Run(), "(no failure)");
    if (!planted) {
      std::cout << "This system makes no folder links here; that case was not run.\n";
      continue;
    }
    const UpdateContext& context = CurrentUpdateContext();
    EXPECT_EQ(context.TmpDir, stamped + "_2");
    EXPECT_EQ(TreeContents(context.OldProgramDir), before);
    EXPECT_EQ(TreeContents(outside), (std::vector<std::pair<std::string, std::string>>{{"keep.txt", "not the product's"}}));
    const fs::path path = sys::PathFromUtf8(stamped);
    switch (holder) {
      case Holder::EarlierRun:
        EXPECT_EQ(ReadFile(path / "Old" / "Program" / "TarnVel.exe"), "the earlier run's backup");
        break;
      case Holder::File:
        EXPECT_EQ(ReadFile(path), "a file");
        break;
      case Holder::Link:
        EXPECT_TRUE(fs::is_symlink(path));
        break;
    }
    std::error_code ignored;
    fs::remove(path, ignored);
    fs::remove_all(path, ignored);
    fs::remove_all(sys::PathFromUtf8(context.TmpDir), ignored);
  }
}

// A run killed while it put Program back left the folder without its
// client: the next run must not take that for a product without a client
// part and report success, but name the backup that holds it.
TEST_F(ClientRun, AProgramFolderThatLostItsClientBesideABackupIsRefused) {
  host_.Answer(DialogButton::Yes);
  ASSERT_EQ(Run(), "(no failure)");
  const std::string backup = CurrentUpdateContext().OldProgramDir;
  for (const bool folderGone : {false, true}) {
    SCOPED_TRACE(folderGone ? "Program gone" : "Program without its client");
    fs::remove(sys::PathFromUtf8(Program("TarnVel.exe")));
    if (folderGone) fs::remove_all(sys::PathFromUtf8(Program()));
    const auto before = TreeContents(root_);
    host_ = ScriptedHost();
    EXPECT_EQ(Run(), i18n::GetMessageText("uUpdate_UpdateProgramm_55", Program(), "TarnVel.exe", backup));
    EXPECT_TRUE(host_.dialogs.empty()) << "the run asked before it refused";
    EXPECT_EQ(TreeContents(root_), before);
  }
}

// The journal of a run that ended: every change announced in order, the
// backup marked complete, and the journal put among the ended ones.
TEST_F(ClientRun, AnEndedRunLeavesItsJournalAmongTheEndedOnes) {
  const std::string state = Child(dir_.str(), "state");
  settings_.stateFolder = state;
  host_.Answer(DialogButton::Yes);
  ASSERT_EQ(Run(), "(no failure)");
  EXPECT_FALSE(ReadUnfinishedJournal(state));
  const fs::path ended = sys::PathFromUtf8(Child(state, "ended"));
  ASSERT_EQ(std::distance(fs::directory_iterator(ended), fs::directory_iterator()), 1);
  std::vector<std::string> events;
  std::istringstream lines(ReadFile(fs::directory_iterator(ended)->path()));
  for (std::string line; std::getline(lines, line);) events.push_back(ParseJournalLine(line).value().event);
  EXPECT_EQ(events, (std::vector<std::string>{journal::kRunStarted, journal::kFolderRename, journal::kFolderRenamedBack,
                                              journal::kWorkingFolder, journal::kBackupComplete,
                                              journal::kReplacementBegun, journal::kClientReplaced,
                                              journal::kRunEnded}));
  EXPECT_TRUE(fs::exists(sys::PathFromUtf8(Child(CurrentUpdateContext().OldDir, kBackupCompleteMarker))));
}

// A payload that never ends (here a program that only waits) is ended at
// its time limit; the run fails with a text naming it, before anything
// installed was touched, and removes its working folder.
TEST_F(ClientRun, AHungPayloadIsEndedAtItsLimitAndNamed) {
  const auto before = TreeContents(root_);
  settings_.payloadTimeLimit = std::chrono::milliseconds(300);
  settings_.writePayload = [](const std::string& path) {
    fs::copy_file(sys::PathFromUtf8(SysroutinesTestProgram("tarnvel_test_sleeper")), sys::PathFromUtf8(path));
    return sys::Sha256Of(ReadFile(sys::PathFromUtf8(path)));
  };
  host_.Answer(DialogButton::Yes);
  const std::string text = Run();
  EXPECT_EQ(text, i18n::GetMessageText("uUpdate_UpdateProgramm_56",
                                       Child(CurrentUpdateContext().NewDir, "files.exe"), "1"));
  EXPECT_EQ(WorkingFolder(root_), "");
  EXPECT_EQ(TreeContents(root_), before);
}

// Someone who may write the product folder puts other bytes in the
// payload's place after it was written and before it runs: they are not
// started. The run fails as for any payload failure, before anything
// installed was touched, and removes its working folder.
TEST_F(ClientRun, APayloadChangedBeforeItRunsIsNotStarted) {
  struct Case {
    const char* what;
    std::function<std::string(const std::string& payload)> bytes;
  };
  const Case cases[] = {
      {"another program", [](const std::string&) { return ReadFile(sys::PathFromUtf8(TestChildPath())); }},
      {"one byte of it changed",
       [](const std::string& payload) {
         std::string bytes = payload;
         bytes[bytes.size() / 2] ^= 1;
         return bytes;
       }},
  };
  const auto before = TreeContents(root_);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    settings_.beforePayloadRuns = [&](const std::string& path) {
      const fs::path file = sys::PathFromUtf8(path);
      const std::string swapped = c.bytes(ReadFile(file));
      fs::remove(file);
      WriteFile(file, swapped);
    };
    host_.entries.clear();
    host_.Answer(DialogButton::Yes);
    const std::string text = Run();
    EXPECT_EQ(text, i18n::GetMessageText("uUpdate_HoldVerifiedPayload_1",
                                         Child(CurrentUpdateContext().NewDir, "files.exe")));
    EXPECT_EQ(host_.entries, InitEntries() + Entries({"32", "35", "36"}));
    EXPECT_FALSE(host_.RolledBack());
    EXPECT_EQ(WorkingFolder(root_), "");
    EXPECT_EQ(TreeContents(root_), before);
  }
}

TEST(AddErrorMessage, JoinsTextsWithALoneCarriageReturn) {
  EXPECT_EQ(AddErrorMessage("", "first"), "Exception Message: first");
  EXPECT_EQ(AddErrorMessage("Exception Message: first", "second"),
            "Exception Message: first\rException Message: second");
  EXPECT_EQ(AddErrorMessage("head", ""), "head\rException Message: ");
}

}  // namespace
}  // namespace tarnvel
