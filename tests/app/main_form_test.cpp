// The window's logic against a recording view: creation, the outcomes of a
// run, the Operations commands, the folder button, and what happens when the
// operator acts in the middle of a run.
//
// The engine calls are scripted here: their outcomes (success, a declined
// run, a rollback, a failure) are what the window's logic reacts to, and a
// real run needs the server and a product. The real engine runs through the
// real window in the Qt window tests.
#include "app/copy_progress_text.h"
#include "app/main_form.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

#include "app/exception_report.h"
#include "app/recording_view.h"
#include "i18n/ldm.h"
#include "support/temp_dir.h"
#include "sysroutines/paths.h"
#include "sysroutines/platform_defaults.h"
#include "sysroutines/resources.h"

namespace tarnvel {
namespace {

using i18n::GetMessageText;
using testing::ReadFile;
using testing::RecordingView;
using testing::TempDir;
using testing::WriteFile;

const sys::LocalDateTime kWhen{2026, 3, 5, 14, 7, 9};

firebird::TFBServParams Discovered() {
  return {"/opt/firebird/", "SUPER", "localhost/3051:", "fbserver", "NorvaskFireXBirdServer"};
}

std::string Resource(std::string_view type, std::string_view name) {
  return std::string(sys::FindEmbeddedResource(type, name).value());
}

class MainForm : public ::testing::Test {
 protected:
  MainForm() {
    env_.executablePath = dir_ / "Upd";
    env_.clock = [] { return kWhen; };
    env_.discoverServer = [this](firebird::TFBServParams& params) {
      events_.push_back("discover");
      params = Discovered();
    };
    env_.engine.updateProgramm = [this](IUpdateHost& host, const UpdateSettings& settings,
                                        const std::string& folder, const std::string& sysdba,
                                        const std::string& admn, const std::string& key) {
      lastSettings_ = settings;
      calls_.push_back("UpdateProgramm " + folder + " " + sysdba + " " + admn + " " + key + " " +
                       settings.ServerParams.ServiceName);
      duringRun_ = {view_.panelsEnabled, view_.animationRunning, view_.pictureVisible, view_.statusText,
                    view_.statusColour};
      if (run_) run_(host);
    };
    env_.engine.updateOnLine = [this](IUpdateHost&, const UpdateSettings&, const std::string& folder,
                                      const std::string& sysdba) {
      calls_.push_back("UpdateOnLine " + folder + " " + sysdba);
      panelsDuringCommand_ = view_.panelsEnabled;
      if (command_) command_();
    };
    env_.engine.updateShutdown = [this](IUpdateHost&, const UpdateSettings&, const std::string& folder,
                                        const std::string& sysdba) {
      calls_.push_back("UpdateShutdown " + folder + " " + sysdba);
      panelsDuringCommand_ = view_.panelsEnabled;
      if (command_) command_();
    };
    env_.engine.startFBService = [this](const firebird::TFBServParams& params, bool showResult,
                                        const firebird::FbServiceContext& context) {
      calls_.push_back("StartFBService " + params.ServiceName + (showResult ? " show" : ""));
      panelsDuringCommand_ = view_.panelsEnabled;
      context.showMessage("FireBird server service is running.");
    };
    env_.engine.stopFBService = [this](const firebird::TFBServParams& params, bool showResult,
                                       const firebird::FbServiceContext&) {
      calls_.push_back("StopFBService " + params.ServiceName + (showResult ? " show" : ""));
      if (command_) command_();
    };
  }

  /// The form created as at start-up, with the product folder typed.
  TfrmMain& Created() {
    form_ = std::make_unique<TfrmMain>(view_, i18n::EmbeddedSillTable(), env_);
    form_->Dispatch(&TfrmMain::FormCreate);
    form_->profile.ProjectKey = "Tarnvel";
    view_.programLocation = "/opt/ZEK/TarnVel";
    view_.password = "kelpdromux";
    view_.admnPassword = "7";
    return *form_;
  }

  std::string LogFile() const {
    return ReadFile(sys::PathFromUtf8(
        dir_ / ("Logs" + std::string(1, sys::kPathDelimiter) + "050326-140709_Updater.log")));
  }

  struct DuringRun {
    bool panelsEnabled = true;
    bool animationRunning = false;
    bool pictureVisible = true;
    std::string statusText;
    std::optional<StatusColour> statusColour;
  };

  TempDir dir_{"mainform"};
  std::vector<std::string> events_;
  RecordingView view_{events_};
  FormEnvironment env_;
  std::unique_ptr<TfrmMain> form_;
  std::vector<std::string> calls_;
  std::function<void(IUpdateHost&)> run_;
  std::function<void()> command_;
  DuringRun duringRun_;
  UpdateSettings lastSettings_;
  bool panelsDuringCommand_ = true;
};

TEST_F(MainForm, CreationWritesMissingLibrariesLogAndKeepsTheServer) {
  TfrmMain& form = Created();
  EXPECT_EQ(view_.caption, "Upd");
  EXPECT_EQ(form.ApplicationTitle(), "Upd");
  EXPECT_EQ(view_.successBitmap, Resource("IMAGES", "SUCCESS"));
  EXPECT_EQ(view_.errorsBitmap, Resource("IMAGES", "ERRORS"));
  if (sys::FindEmbeddedResource("DLL", "FBCLIENT")) {
    EXPECT_EQ(ReadFile(dir_.path() / sys::kClientLibraryName), Resource("DLL", "FBCLIENT"));
  } else {  // a Windows build without a client library to carry
    EXPECT_FALSE(std::filesystem::exists(dir_.path() / sys::kClientLibraryName));
  }
  EXPECT_EQ(ReadFile(dir_.path() / kScriptLibraryName), Resource("DLL", "IBESCRIPT"));
  EXPECT_TRUE(std::filesystem::exists(dir_.path() / "Logs" / "050326-140709_Updater.log"));
  EXPECT_EQ(form.ServerParams.ServiceName, "NorvaskFireXBirdServer");
  EXPECT_EQ(form.ServerParams.ServerType, "SUPER");
  EXPECT_TRUE(view_.dialogs.empty());
}

TEST_F(MainForm, CreationLeavesWhateverIsThereUnderTheLibraryNames) {
  struct Case {
    const char* what;
    std::function<void(const std::filesystem::path&)> make;
  };
  const Case cases[] = {
      {"other files", [](const std::filesystem::path& p) { WriteFile(p, "an older build\r\n\x01\x02"); }},
      {"empty files", [](const std::filesystem::path& p) { WriteFile(p, ""); }},
      {"folders", [](const std::filesystem::path& p) { std::filesystem::create_directories(p / "inside"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir("libraries");
    const std::filesystem::path client = dir.path() / sys::kClientLibraryName;
    const std::filesystem::path script = dir.path() / kScriptLibraryName;
    c.make(client);
    c.make(script);
    const bool folders = std::filesystem::is_directory(client);
    const std::string clientBefore = folders ? "" : ReadFile(client),
                      scriptBefore = folders ? "" : ReadFile(script);
    env_.executablePath = dir / "Upd";
    TfrmMain form(view_, i18n::EmbeddedSillTable(), env_);
    form.Dispatch(&TfrmMain::FormCreate);
    EXPECT_TRUE(view_.dialogs.empty());
    if (folders) {
      EXPECT_TRUE(std::filesystem::exists(client / "inside"));
      EXPECT_TRUE(std::filesystem::exists(script / "inside"));
    } else {
      EXPECT_EQ(ReadFile(client), clientBefore);
      EXPECT_EQ(ReadFile(script), scriptBefore);
    }
  }
}

TEST_F(MainForm, ALibraryTheProgramDoesNotCarryIsNotWritten) {
  env_.findResource = [](std::string_view type, std::string_view name) -> std::optional<std::string_view> {
    if (type == "DLL" && name == "FBCLIENT") return std::nullopt;
    return sys::FindEmbeddedResource(type, name);
  };
  Created();
  EXPECT_TRUE(view_.dialogs.empty());
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / sys::kClientLibraryName));
  EXPECT_EQ(ReadFile(dir_.path() / kScriptLibraryName), Resource("DLL", "IBESCRIPT"));
}

TEST_F(MainForm, DiscoveryFailureShowsOneBoxAndTheWindowStaysUsable) {
  env_.discoverServer = [](firebird::TFBServParams& params) {
    params.ServiceName = "half filled";
    throw std::runtime_error("The Firebird server's registry key cannot be read");
  };
  TfrmMain& form = Created();
  const std::string expected =
      "The Firebird server's registry key cannot be read\r" + GetMessageText("uMain_FormCreate_2");
  ASSERT_EQ(view_.dialogs.size(), 1u);
  EXPECT_EQ(view_.dialogs[0].type, DialogType::Error);
  EXPECT_EQ(view_.dialogs[0].caption, "Upd");
  EXPECT_EQ(view_.dialogs[0].text, expected);  // ends with a period: none added
  EXPECT_EQ(view_.dialogs[0].buttons, std::vector<DialogButton>{DialogButton::Ok});
  EXPECT_NE(LogFile().find(expected), std::string::npos);
  EXPECT_EQ(form.ServerParams.ServiceName, "");
  EXPECT_EQ(form.ServerParams.ServerType, "");

  form.Dispatch(&TfrmMain::OKBtnClick);
  EXPECT_EQ(calls_, std::vector<std::string>{"UpdateProgramm /opt/ZEK/TarnVel kelpdromux 7 Tarnvel "});
  EXPECT_EQ(view_.picture, ResultPicture::Success);
}

TEST_F(MainForm, CreationFailureBeforeTheLogIsStillShown) {
  env_.executablePath = dir_ / ("no such folder" + std::string(1, sys::kPathDelimiter) + "Upd");
  TfrmMain& form = Created();
  ASSERT_EQ(view_.dialogs.size(), 1u);
  EXPECT_NE(view_.dialogs[0].text.find("Unable to write the file"), std::string::npos)
      << view_.dialogs[0].text;
  EXPECT_NE(view_.dialogs[0].text.find("The log file has not been created"), std::string::npos);
  EXPECT_FALSE(view_.logLines.empty());  // on screen all the same
  EXPECT_EQ(form.ServerParams.ServerType, "");
}

TEST_F(MainForm, OutcomesOfARun) {
  struct Case {
    const char* what;
    std::function<void(IUpdateHost&)> run;
    ResultPicture picture;
    StatusColour colour;
    std::string status;
    std::string box;     // empty: no box
    std::string logged;  // the last log entry the run's end adds, empty: none
  };
  const Case cases[] = {
      {"success", nullptr, ResultPicture::Success, StatusColour::Green, GetMessageText("uMain_Finished_1"),
       "", GetMessageText("uMain_Finished_2")},
      {"declined", [](IUpdateHost&) { throw SilentAbort("declined"); }, ResultPicture::Errors,
       StatusColour::Maroon, GetMessageText("uMain_Finished_4"), "", ""},
      {"rolled back",
       [](IUpdateHost& host) {
         host.SetRolledBack(true);
         throw std::runtime_error("");
       },
       ResultPicture::Errors, StatusColour::Maroon, GetMessageText("uMain_Finished_3"), "", ""},
      {"failure", [](IUpdateHost&) { throw std::runtime_error("The folder is locked"); },
       ResultPicture::Errors, StatusColour::Maroon, GetMessageText("uMain_Finished_4"),
       "The folder is locked.", "The folder is locked"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir("outcome");
    env_.executablePath = dir / "Upd";
    view_.dialogs.clear();
    view_.logLines.clear();
    TfrmMain& form = Created();
    form.SetRolledBack(true);  // from an earlier run: the engine clears it when a run starts
    run_ = [&c](IUpdateHost& host) {
      host.SetRolledBack(false);
      if (c.run) c.run(host);
    };
    form.Dispatch(&TfrmMain::OKBtnClick);

    EXPECT_FALSE(duringRun_.panelsEnabled);
    EXPECT_TRUE(duringRun_.animationRunning);
    EXPECT_FALSE(duringRun_.pictureVisible);
    EXPECT_EQ(duringRun_.statusText, GetMessageText("uMain_OkBtn_2"));
    EXPECT_EQ(duringRun_.statusColour, StatusColour::Maroon);

    EXPECT_TRUE(view_.panelsEnabled);
    EXPECT_FALSE(view_.animationRunning);
    EXPECT_TRUE(view_.pictureVisible);
    EXPECT_TRUE(view_.statusVisible);
    EXPECT_EQ(view_.picture, c.picture);
    EXPECT_EQ(view_.statusColour, c.colour);
    EXPECT_EQ(view_.statusText, c.status);
    if (c.box.empty()) {
      EXPECT_TRUE(view_.dialogs.empty());
    } else {
      ASSERT_EQ(view_.dialogs.size(), 1u);
      EXPECT_EQ(view_.dialogs[0].text, c.box);
      EXPECT_EQ(view_.dialogs[0].caption, "Upd");
    }
    const std::string log = ReadFile(
        sys::PathFromUtf8(dir / "Logs" + std::string(1, sys::kPathDelimiter) + "050326-140709_Updater.log"));
    if (c.logged.empty()) {
      EXPECT_TRUE(view_.logLines.empty());
      EXPECT_EQ(log, "");
    } else {
      ASSERT_FALSE(view_.logLines.empty());
      EXPECT_NE(view_.logLines.back().find(c.logged), std::string::npos);
      EXPECT_NE(log.find(c.logged + "\r\n"), std::string::npos);
    }
    form_.reset();
  }
}

TEST_F(MainForm, ASuccessIsShownEvenWhenTheLogCannotTakeIt) {
  TfrmMain& form = Created();
  // The log file goes away and its name becomes a folder: the success line cannot be written.
  const std::filesystem::path log = dir_.path() / "Logs" / "050326-140709_Updater.log";
  std::filesystem::remove(log);
  std::filesystem::create_directories(log);
  form.Dispatch(&TfrmMain::OKBtnClick);
  EXPECT_EQ(view_.picture, ResultPicture::Success);
  EXPECT_EQ(view_.statusText, GetMessageText("uMain_Finished_1"));
  ASSERT_EQ(view_.dialogs.size(), 1u);
  EXPECT_NE(view_.dialogs[0].text.find("log file"), std::string::npos) << view_.dialogs[0].text;
  // On screen all the same.
  EXPECT_TRUE(std::any_of(view_.logLines.begin(), view_.logLines.end(), [](const std::string& line) {
    return line.find(GetMessageText("uMain_Finished_2")) != std::string::npos;
  }));
}

TEST_F(MainForm, PausesOfARunLetWindowMessagesThrough) {
  TfrmMain& form = Created();
  std::vector<int> passes;
  run_ = [&](IUpdateHost&) {
    for (const firebird::Pause& pause : {lastSettings_.shutdownPause, lastSettings_.service.pause}) {
      const int before = view_.messagePasses;
      pause(std::chrono::milliseconds(60));
      passes.push_back(view_.messagePasses - before);
    }
  };
  form.Dispatch(&TfrmMain::OKBtnClick);
  ASSERT_EQ(passes.size(), 2u);
  EXPECT_GT(passes[0], 0);
  EXPECT_GT(passes[1], 0);
}

// A rollback that could not put everything back must not be shown as a
// rollback done: the status says it did not complete and where the backup is.
TEST_F(MainForm, ARollbackThatDidNotCompleteSaysSoInTheStatus) {
  TfrmMain& form = Created();
  const std::string failure = GetMessageText("uUpdate_UpdateProgramm_47") + "\r\n/opt/ZEK/TarnVel/Program/a\r" +
                              GetMessageText("uUpdate_UpdateProgramm_54", "/opt/ZEK/TarnVel/Tmp$1/Old/");
  run_ = [&](IUpdateHost& host) {
    host.SetRolledBack(true);
    throw std::runtime_error(failure);
  };
  form.Dispatch(&TfrmMain::OKBtnClick);
  const std::string status = GetMessageText("uMain_Finished_5");
  EXPECT_EQ(view_.statusText, status);
  EXPECT_NE(status, GetMessageText("uMain_Finished_3"));
  EXPECT_EQ(FailedRunStatus(true, ""), GetMessageText("uMain_Finished_3"));
  EXPECT_EQ(FailedRunStatus(false, failure), GetMessageText("uMain_Finished_4"));
  ASSERT_EQ(view_.dialogs.size(), 1u);
  EXPECT_NE(view_.dialogs[0].text.find("/opt/ZEK/TarnVel/Tmp$1/Old/"), std::string::npos);
}

TEST_F(MainForm, CopyProgressAndRollbackNoticeInTheStatusAreaOnly) {
  TfrmMain& form = Created();
  std::vector<std::string> shown;
  run_ = [&](IUpdateHost& host) {
    host.ShowCopyProgress({"a", "b", 512 * 1024, 1024 * 1024});
    shown.push_back(view_.statusText);
    host.SetStatusCaption("Rolling back");
    shown.push_back(view_.statusText);
    host.ShowCopyProgress({"a", "b", 256 * 1024, 1024 * 1024});
    shown.push_back(view_.statusText);
    host.ShowCopyProgress({"a", "b", 1024 * 1024, 1024 * 1024});  // the copy's end takes its line away
    shown.push_back(view_.statusText);
  };
  form.Dispatch(&TfrmMain::OKBtnClick);
  EXPECT_EQ(shown, (std::vector<std::string>{GetMessageText("uMain_OkBtn_2") + "\r\n50% (0.5 of 1.0 MB)",
                                             "Rolling back", "Rolling back\r\n25% (0.2 of 1.0 MB)",
                                             "Rolling back"}));
  ASSERT_EQ(view_.logLines.size(), 1u);  // only the success line
  EXPECT_EQ(view_.statusText, GetMessageText("uMain_Finished_1"));
}

// The progress line in each language, with its decimal sign.
TEST(CopyProgressLine, InTheLanguageOfTheWindow) {
  const struct {
    int column;
    const char* line;
  } cases[] = {
      {3, "37% (1.5 of 4.0 MB)"},
      {2, "37% (1,5 \xD0\xB8\xD0\xB7 4,0 \xD0\x9C\xD0\x91)"},  // "из", "МБ"
      {4, "37 % (1,5 von 4,0 MB)"},
      {5, "37 % (1,5 sur 4,0 Mo)"},
  };
  for (const auto& c : cases) {
    i18n::LDM().Sild.SetActiveLanguage(c.column);
    EXPECT_EQ(CopyProgressText({"a", "b", 1536 * 1024, 4096 * 1024}), c.line) << c.column;
  }
  i18n::LDM().Sild.SetActiveLanguage(3);
  EXPECT_EQ(CopyProgressText({"a", "b", 0, 0}), "100% (0.0 of 0.0 MB)");
}

// Every Operations command during a run is refused with a notice in the
// status area that asks nothing, so the run goes on at once; the engine never
// sees the command, and the notice goes after a few seconds.
TEST_F(MainForm, OperationsDuringARunAreRefusedWithoutStoppingIt) {
  void (TfrmMain::*const commands[])() = {
      &TfrmMain::mmOperations_OnlineClick, &TfrmMain::mmOperations_ShutdownClick,
      &TfrmMain::mmOperations_StartServiceClick, &TfrmMain::mmOperations_StopServiceClick};
  for (auto command : commands) {
    view_.dialogs.clear();
    calls_.clear();
    TfrmMain& form = Created();
    std::string noticeShown;
    run_ = [&](IUpdateHost& host) {
      host.SaveExceptionToLog("step");
      form.Dispatch(command);  // a menu click let through by the engine
      noticeShown = view_.statusText;
      host.ShowCopyProgress({"a", "b", 1, 4});  // the run goes on, the notice stays
      EXPECT_EQ(view_.statusText, GetMessageText("uMain_RefuseWhileBusy_1") + "\r\n25% (0.0 of 0.0 MB)");
    };
    form.Dispatch(&TfrmMain::OKBtnClick);
    ASSERT_EQ(calls_.size(), 1u) << calls_.back();
    EXPECT_TRUE(view_.dialogs.empty());
    EXPECT_EQ(noticeShown, GetMessageText("uMain_RefuseWhileBusy_1"));
    EXPECT_EQ(view_.picture, ResultPicture::Success);  // the run went on to its end
    EXPECT_EQ(view_.statusText, GetMessageText("uMain_Finished_1"));  // the result replaces the notice
    form_.reset();
  }
}

TEST_F(MainForm, ARefusalNoticeGoesAfterAFewSeconds) {
  TfrmMain& form = Created();
  std::vector<std::string> shown;
  run_ = [&](IUpdateHost& host) {
    host.SetStatusCaption("Copying");
    form.Dispatch(&TfrmMain::mmOperations_OnlineClick);
    shown.push_back(view_.statusText);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(7);
    while (view_.statusText != "Copying" && std::chrono::steady_clock::now() < until) {
      host.ProcessMessages();
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    shown.push_back(view_.statusText);
  };
  form.Dispatch(&TfrmMain::OKBtnClick);
  EXPECT_EQ(shown, (std::vector<std::string>{GetMessageText("uMain_RefuseWhileBusy_1"), "Copying"}));
}

// Without the rights runs and commands need, each is refused with the text
// naming what is missing, before the window turns busy or the engine is
// called. The missing rights are a stand-in here: this test runs with all
// of them (root, or elevated under Wine); the real check is tested in the
// system routines' tests and with the console program started as another
// user.
TEST_F(MainForm, WithoutTheRightsEveryRunAndCommandIsRefusedBeforeItStarts) {
  env_.missingRunRights = [] { return std::vector<std::string>{"TokenElevation"}; };
  const std::string refusal = GetMessageText("uUpdate_CheckRunRights_1", "TokenElevation");
  void (TfrmMain::*const handlers[])() = {
      &TfrmMain::OKBtnClick, &TfrmMain::mmOperations_OnlineClick, &TfrmMain::mmOperations_ShutdownClick,
      &TfrmMain::mmOperations_StartServiceClick, &TfrmMain::mmOperations_StopServiceClick};
  for (auto handler : handlers) {
    view_.dialogs.clear();
    TfrmMain& form = Created();
    form.Dispatch(handler);
    EXPECT_TRUE(calls_.empty()) << calls_.front();
    ASSERT_EQ(view_.dialogs.size(), 1u);
    EXPECT_EQ(view_.dialogs[0].type, DialogType::Error);
    EXPECT_EQ(view_.dialogs[0].text, ErrorBoxText(refusal));
    EXPECT_NE(LogFile().find(refusal), std::string::npos) << LogFile();
    EXPECT_TRUE(view_.panelsEnabled);
    EXPECT_FALSE(view_.statusVisible);
    EXPECT_FALSE(view_.animationRunning);
    form_.reset();
  }
}

// A check runs without the rights an update needs (it reports them), with
// the panels off while it works; its box repeats what is not ok.
TEST_F(MainForm, ACheckSumsUpWhatIsNotOkInABox) {
  env_.missingRunRights = [] { return std::vector<std::string>{"TokenElevation"}; };
  bool panelsDuringCheck = true;
  std::vector<std::string> rightsSeen;
  env_.engine.preflightCheck = [&](IUpdateHost&, const UpdateSettings&, const CheckSurroundings& surroundings,
                                   const std::string& folder, const std::string& sysdba, const std::string&,
                                   const std::string&) {
    calls_.push_back("PreflightCheck " + folder + " " + sysdba);
    panelsDuringCheck = view_.panelsEnabled;
    rightsSeen = surroundings.missingRunRights;
    return std::vector<CheckFinding>{{"rights", CheckVerdict::Blocks, "no rights"},
                                     {"parts", CheckVerdict::Ok, "both parts"},
                                     {"users", CheckVerdict::Warning, "CLERK1"}};
  };
  TfrmMain& form = Created();
  form.Dispatch(&TfrmMain::mmOperations_CheckClick);
  EXPECT_EQ(calls_, std::vector<std::string>{"PreflightCheck /opt/ZEK/TarnVel kelpdromux"});
  EXPECT_FALSE(panelsDuringCheck);
  EXPECT_TRUE(view_.panelsEnabled);
  EXPECT_EQ(rightsSeen, std::vector<std::string>{"TokenElevation"});
  ASSERT_EQ(view_.dialogs.size(), 1u);
  EXPECT_EQ(view_.dialogs[0].type, DialogType::Warning);
  EXPECT_EQ(view_.dialogs[0].text, GetMessageText("uUpdate_PreflightCheck_33", "1") + "\r\n\r\n" +
                                       CheckVerdictText(CheckVerdict::Blocks) + ": no rights\r\n\r\n" +
                                       CheckVerdictText(CheckVerdict::Warning) + ": CLERK1");
}

TEST_F(MainForm, ADatabaseCommandRefusesASecondOne) {
  TfrmMain& form = Created();
  command_ = [&] { form.Dispatch(&TfrmMain::mmOperations_ShutdownClick); };
  form.Dispatch(&TfrmMain::mmOperations_OnlineClick);
  EXPECT_EQ(calls_, std::vector<std::string>{"UpdateOnLine /opt/ZEK/TarnVel kelpdromux"});
  EXPECT_TRUE(view_.dialogs.empty());
  EXPECT_TRUE(view_.statusVisible);
  EXPECT_EQ(view_.statusText, GetMessageText("uMain_RefuseWhileBusy_1"));
  EXPECT_TRUE(view_.panelsEnabled);
}

TEST_F(MainForm, StartDuringAServiceCommandIsRefused) {
  TfrmMain& form = Created();
  command_ = [&] { form.Dispatch(&TfrmMain::OKBtnClick); };  // pressed during the pause after the stop
  form.Dispatch(&TfrmMain::mmOperations_StopServiceClick);
  EXPECT_EQ(calls_, std::vector<std::string>{"StopFBService NorvaskFireXBirdServer show"});
  EXPECT_TRUE(view_.dialogs.empty());
  EXPECT_EQ(view_.statusText, GetMessageText("uMain_RefuseWhileBusy_1"));
  EXPECT_FALSE(view_.pictureVisible);
}

// A close request during a run asks nothing and never closes in the middle:
// it is recorded (said in the status area), a second one takes it back, and
// the window closes after the run only when one is left standing.
TEST_F(MainForm, CloseDuringARunIsRecordedWithoutAQuestion) {
  struct Case {
    int requests;
    int closesAfterRun;
    const char* notice;
  };
  for (const Case& c : {Case{1, 1, "uMain_FormCloseQuery_1"}, Case{2, 0, "uMain_FormCloseQuery_2"},
                        Case{3, 1, "uMain_FormCloseQuery_1"}}) {
    SCOPED_TRACE(c.requests);
    view_.dialogs.clear();
    view_.closes = 0;
    TfrmMain& form = Created();
    bool mayClose = true;
    int closesDuringRun = -1;
    std::string noticeShown;
    run_ = [&](IUpdateHost&) {
      mayClose = false;
      for (int i = 0; i < c.requests; ++i) mayClose = form.FormCloseQuery() || mayClose;
      closesDuringRun = view_.closes;
      noticeShown = view_.statusText;
    };
    form.Dispatch(&TfrmMain::OKBtnClick);
    EXPECT_FALSE(mayClose);
    EXPECT_EQ(closesDuringRun, 0);
    EXPECT_EQ(view_.closes, c.closesAfterRun);
    EXPECT_TRUE(view_.dialogs.empty());
    EXPECT_EQ(noticeShown, GetMessageText(c.notice));
    EXPECT_EQ(view_.picture, ResultPicture::Success);
    form_.reset();
  }
}

TEST_F(MainForm, CloseWhenIdleNeedsNoQuestion) {
  TfrmMain& form = Created();
  EXPECT_TRUE(form.FormCloseQuery());
  form.Dispatch(&TfrmMain::CancelBtnClick);
  EXPECT_EQ(view_.closes, 1);
  EXPECT_TRUE(view_.dialogs.empty());
}

TEST_F(MainForm, DatabaseCommandsDisableThePanelsAndReportFailures) {
  TfrmMain& form = Created();
  form.Dispatch(&TfrmMain::mmOperations_ShutdownClick);
  EXPECT_FALSE(panelsDuringCommand_);
  EXPECT_TRUE(view_.panelsEnabled);

  command_ = [] { throw std::runtime_error("Shutdown refused"); };
  form.Dispatch(&TfrmMain::mmOperations_OnlineClick);
  EXPECT_TRUE(view_.panelsEnabled);
  ASSERT_EQ(view_.dialogs.size(), 1u);
  EXPECT_EQ(view_.dialogs[0].text, "Shutdown refused.");
  EXPECT_NE(LogFile().find("Shutdown refused\r\n"), std::string::npos);
  EXPECT_FALSE(view_.statusVisible);  // no status, picture or animation
  EXPECT_FALSE(view_.pictureVisible);
  EXPECT_EQ(calls_, (std::vector<std::string>{"UpdateShutdown /opt/ZEK/TarnVel kelpdromux",
                                              "UpdateOnLine /opt/ZEK/TarnVel kelpdromux"}));
}

TEST_F(MainForm, ServiceCommandsUseTheServerAndConfirmInAPlainBox) {
  TfrmMain& form = Created();
  form.Dispatch(&TfrmMain::mmOperations_StartServiceClick);
  EXPECT_TRUE(panelsDuringCommand_);  // the window stays enabled
  EXPECT_EQ(calls_, std::vector<std::string>{"StartFBService NorvaskFireXBirdServer show"});
  ASSERT_EQ(view_.dialogs.size(), 1u);
  EXPECT_EQ(view_.dialogs[0].caption, "Upd");
  EXPECT_EQ(view_.dialogs[0].text, "FireBird server service is running.");
  EXPECT_EQ(view_.dialogs[0].buttons, std::vector<DialogButton>{DialogButton::Ok});
}

TEST_F(MainForm, FolderButton) {
  TempDir product("product");
  struct Case {
    const char* what;
    std::string typed;
    std::optional<std::string> picked;
    std::string expectedStart;
    std::string expectedBox;
  };
  const std::string cwd = sys::PathToUtf8(std::filesystem::current_path());
  const std::string d(1, sys::kPathDelimiter);
  const Case cases[] = {
      {"existing folder, confirmed", product.str(), product / "sub", product.str(), product / "sub"},
      {"existing folder, cancelled", product.str(), std::nullopt, product.str(), product.str()},
      {"missing folder, cancelled", product / "gone", std::nullopt, "", product / "gone"},
      {"empty box, confirmed", "", product.str(), "", product.str()},
      {"relative answer made absolute", "", "rel" + d + "x" + d + "..", "", cwd + d + "rel"},
  };
  TfrmMain& form = Created();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    view_.programLocation = c.typed;
    view_.pickResult = c.picked;
    view_.pickStarts.clear();
    form.Dispatch(&TfrmMain::bbProgramLocationClick);
    ASSERT_EQ(view_.pickStarts.size(), 1u);
    EXPECT_EQ(view_.pickStarts[0], c.expectedStart);
    EXPECT_EQ(view_.programLocation, c.expectedBox);
  }
  EXPECT_NE(
      std::find(events_.begin(), events_.end(), "PickFolder " + GetMessageText("uMain_ProgramLocation_1")),
      events_.end());
}

TEST_F(MainForm, WindowTextsInTheActiveLanguage) {
  struct Case {
    int language;
    std::string start, log;
  };
  for (const Case& c : {Case{2, "&Старт", " Лог работы "}, Case{3, "&Start", "The operation log"},
                        Case{5, "&Start", "Log du travail"}}) {
    i18n::LDM().Sild.SetActiveLanguage(c.language);
    view_.captions.clear();
    events_.clear();
    TfrmMain form(view_, i18n::EmbeddedSillTable(), env_);
    EXPECT_EQ(form.LinkReport(), "");
    EXPECT_EQ(view_.captions["OKBtn"], c.start);
    EXPECT_EQ(view_.captions["gbLog"], c.log);
    EXPECT_EQ(view_.hints["OKBtn"], "Запустить обновление");  // hints exist in the design text only
    EXPECT_EQ(view_.hints["CancelBtn"], "Выход из программы");
    EXPECT_EQ(std::count(events_.begin(), events_.end(), "SetControlCaption TfrmMain"), 0);
  }
  i18n::LDM().Sild.SetActiveLanguage(3);
}

}  // namespace
}  // namespace tarnvel
