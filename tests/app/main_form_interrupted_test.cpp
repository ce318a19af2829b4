// The window with another updater at work on the machine, and after an
// update that was interrupted: refusals that name the holder, and the offer
// to recover before anything else runs. The engine is scripted as in the
// other window-logic tests; the real recovery is tested in the driver's kill
// tests.
#include <gtest/gtest.h>

#include "app/main_form.h"
#include "app/recording_view.h"
#include "i18n/ldm.h"
#include "support/temp_dir.h"
#include "sysroutines/run_lock.h"
#include "update/recovery.h"
#include "update/run_journal.h"

namespace tarnvel {
namespace {

using i18n::GetMessageText;
using testing::RecordingView;
using testing::TempDir;

class MainFormInterrupted : public ::testing::Test {
 protected:
  MainFormInterrupted() {
    env_.executablePath = dir_ / "Upd";
    env_.discoverServer = [](firebird::TFBServParams&) {};
    env_.engine.updateProgramm = [this](IUpdateHost&, const UpdateSettings&, const std::string&,
                                        const std::string&, const std::string&,
                                        const std::string&) { calls_.push_back("update"); };
    env_.engine.updateOnLine = [this](IUpdateHost&, const UpdateSettings&, const std::string&,
                                      const std::string&) { calls_.push_back("online"); };
    env_.engine.updateShutdown = [this](IUpdateHost&, const UpdateSettings&, const std::string&,
                                        const std::string&) { calls_.push_back("shutdown"); };
    env_.engine.startFBService = [this](const firebird::TFBServParams&, bool,
                                        const firebird::FbServiceContext&) { calls_.push_back("start"); };
    env_.engine.stopFBService = [this](const firebird::TFBServParams&, bool,
                                       const firebird::FbServiceContext&) { calls_.push_back("stop"); };
    env_.engine.recoverInterruptedRun = [this](IUpdateHost&, const UpdateSettings& settings,
                                               const std::string&) {
      calls_.push_back("recover");
      RunJournal(settings.stateFolder, RunJournal::CurrentPath(settings.stateFolder), true).End("recovered");
    };
    form_ = std::make_unique<TfrmMain>(view_, i18n::EmbeddedSillTable(), env_);
    form_->Dispatch(&TfrmMain::FormCreate);
    view_.programLocation = "/opt/ZEK/TarnVel";
  }

  TempDir dir_{"mainform-interrupted"};
  std::vector<std::string> events_;
  RecordingView view_{events_};
  FormEnvironment env_;
  std::unique_ptr<TfrmMain> form_;
  std::vector<std::string> calls_;
};

TEST_F(MainFormInterrupted, AnotherUpdaterAtWorkIsNamedAndNothingRuns) {
  std::string found;
  const auto held = sys::RunLock::TryAcquire(sys::RunLockFile(), "Updater_TarnVel_console (PID 99), command update", found);
  ASSERT_TRUE(held) << found;
  for (auto command : {&TfrmMain::OKBtnClick, &TfrmMain::mmOperations_OnlineClick, &TfrmMain::mmOperations_ShutdownClick,
                       &TfrmMain::mmOperations_StartServiceClick, &TfrmMain::mmOperations_StopServiceClick}) {
    view_.dialogs.clear();
    form_->Dispatch(command);
    ASSERT_EQ(view_.dialogs.size(), 1u);
    EXPECT_EQ(view_.dialogs[0].type, DialogType::Error);
    EXPECT_EQ(view_.dialogs[0].text,
              GetMessageText("uMain_RunLock_1", "Updater_TarnVel_console (PID 99), command update"));
  }
  EXPECT_TRUE(calls_.empty());
}

TEST_F(MainFormInterrupted, AnInterruptedUpdateIsOfferedForRecoveryBeforeAnythingElse) {
  {
    RunJournal journal(sys::MachineStateFolder(), {{"folder", "/opt/ZEK/TarnVel"}});
    ASSERT_TRUE(journal.Record(journal::kDatabaseShutdown));
  }
  const std::string question =
      GetMessageText("uMain_Recover_1", DescribeInterruptedRun(*ReadUnfinishedJournal(sys::MachineStateFolder())));
  EXPECT_NE(question.find("/opt/ZEK/TarnVel"), std::string::npos) << question;
  // The last step in the operator's words, not the journal's record name.
  EXPECT_NE(question.find(GetMessageText("uUpdate_Recover_9")), std::string::npos) << question;
  EXPECT_EQ(question.find(journal::kDatabaseShutdown), std::string::npos) << question;

  // Declined when the window shows, and again at Start: nothing runs.
  view_.answers = {DialogButton::No, DialogButton::No};
  form_->Dispatch(&TfrmMain::FormShow);
  form_->Dispatch(&TfrmMain::OKBtnClick);
  ASSERT_EQ(view_.dialogs.size(), 2u);
  for (const DialogRequest& box : view_.dialogs) {
    EXPECT_EQ(box.text, question);
    EXPECT_EQ(box.buttons, (std::vector<DialogButton>{DialogButton::Yes, DialogButton::No}));
  }
  EXPECT_TRUE(calls_.empty());

  // Accepted at the online command: the recovery runs, then the command.
  view_.dialogs.clear();
  view_.answers = {DialogButton::Yes};
  form_->Dispatch(&TfrmMain::mmOperations_OnlineClick);
  EXPECT_EQ(calls_, (std::vector<std::string>{"recover", "online"}));
  EXPECT_FALSE(ReadUnfinishedJournal(sys::MachineStateFolder()));
}

}  // namespace
}  // namespace tarnvel
