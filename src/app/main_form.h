#pragma once
// The main window's logic: creation, show, Start, Exit, the folder button,
// the four Operations commands and the final display of a run. It drives a
// window through IMainView and is the host the engine talks to.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/main_view.h"
#include "app/run_log.h"
#include "firebird/fb_service.h"
#include "firebird/server_discovery.h"
#include "i18n/catalogue.h"
#include "update/host.h"
#include "update/project_profile.h"
#include "sysroutines/run_lock.h"
#include "update/preflight_check.h"
#include "update/update_driver.h"

namespace tarnvel {

/// The calls into the engine the window makes. The program uses the real
/// ones; the logic's own tests script their outcomes (a real run needs the
/// server and a product, and is run through the real window instead).
struct EngineCalls {
  std::function<void(IUpdateHost&, const UpdateSettings&, const std::string& ProgramLocation,
                     const std::string& SysdbaPassword, const std::string& AdmnPassword,
                     const std::string& ProjectKey)>
      updateProgramm;
  std::function<void(IUpdateHost&, const UpdateSettings&, const std::string&ProgramLocation,
                     const std::string&SysdbaPassword)>
      updateOnLine, updateShutdown;
  std::function<void(const firebird::TFBServParams&, bool showResult, const firebird::FbServiceContext&)>
      startFBService, stopFBService;
  std::function<void(IUpdateHost&, const UpdateSettings&, const std::string& SysdbaPassword)> recoverInterruptedRun;
  std::function<std::vector<CheckFinding>(IUpdateHost&, const UpdateSettings&, const CheckSurroundings&,
                                          const std::string& ProgramLocation, const std::string& SysdbaPassword,
                                          const std::string& AdmnPassword, const std::string& ProjectKey)>
      preflightCheck;
};

/// The real engine.
EngineCalls RealEngine();

/// What the window takes from its surroundings. Defaults: the running
/// executable, the real clock, the registry's Firebird server and the real
/// engine with the real pauses.
struct FormEnvironment {
  FormEnvironment();

  std::string executablePath;
  std::function<std::optional<std::string_view>(std::string_view type, std::string_view name)> findResource;
  std::function<void(firebird::TFBServParams&)> discoverServer;
  RunLog::Clock clock;
  EngineCalls engine;
  /// Pauses and service waits of runs and commands. A pause left empty is
  /// the window's own: it waits the full time and lets window messages
  /// through meanwhile, so that the window stays responsive.
  firebird::FbServiceContext service;
  firebird::Pause shutdownPause;
  /// What the process lacks of the rights runs and commands need
  /// (sys::MissingRunRights).
  std::function<std::vector<std::string>()> missingRunRights;
};

/// The name the script library is written under beside the executable.
inline constexpr const char* kScriptLibraryName = "IBEScript.dll";

/// The status line after a failed run: interrupted, rolled back, or a
/// rollback that did not complete.
std::string FailedRunStatus(bool rolledBack, const std::string& failureText);

class TfrmMain : public IUpdateHost {
 public:
  /// Builds the window's logic over View: the window's catalogue component
  /// Sill links to the language dispatcher and the design texts are
  /// translated into the active language.
  TfrmMain(IMainView& view, i18n::CatalogueTable sillTable, FormEnvironment environment = {});
  ~TfrmMain() override;
  TfrmMain(const TfrmMain&) = delete;
  TfrmMain& operator=(const TfrmMain&) = delete;

  /// The empty-text report of Sill made when it linked (empty: nothing missing).
  const std::string& LinkReport() const { return linkReport_; }

  /// Creation: title from the executable's name, the result pictures, the
  /// client and script libraries beside the executable when missing, the log
  /// file, server discovery. Throws at the first failing step.
  void FormCreate();
  /// The same for a check, which changes nothing and must also run where
  /// the program's folder cannot be written: libraries that cannot be
  /// written are left to the system's search, and a log file that cannot be
  /// made is returned (empty: it was made) while start-up goes on without it.
  std::string FormCreateForCheck();
  /// Show: the title again, the button-face colours and the menu colour.
  void FormShow();

  void OKBtnClick();
  void CancelBtnClick();
  void bbProgramLocationClick();
  void mmOperations_OnlineClick();
  void mmOperations_ShutdownClick();
  void mmOperations_StartServiceClick();
  void mmOperations_StopServiceClick();
  /// What an update would meet, found without changing anything: the
  /// findings go to the run log, a box sums them up.
  void mmOperations_CheckClick();

  /// A close request (close box, Exit, the system): true when the window may
  /// close. During a run or a database command it asks whether to close when
  /// that has finished, and never closes at once.
  bool FormCloseQuery();

  void SetControlsEnabled(bool Enabled);
  void ShowFinished(bool Succeeded, const std::string& failureText = {});

  /// The application's exception handler: logs and shows a failure that
  /// escaped a handler; an empty message and the silent abort leave no trace.
  void AEException(const std::exception& failure);

  /// Runs an event handler the way the application does: a failure that
  /// escapes it goes to AEException, and a close the operator asked for
  /// during a run follows once the window is idle again.
  void Dispatch(void (TfrmMain::*handler)());

  /// True during a run, a database command or a service command.
  bool Busy() const { return busy_; }

  const std::string& ApplicationTitle() const { return applicationTitle_; }

  /// The folder the log files go into, beside the executable.
  std::string LogFolder() const;

  /// The log file of this start; empty before creation made it.
  std::string LogFileName() const { return runLog_ ? runLog_->FileName() : std::string(); }

  // IUpdateHost
  void SaveExceptionToLog(const std::string& text) override;
  void ProcessMessages() override;
  DialogButton ShowDialog(const DialogRequest& request) override;
  void SetStatusCaption(const std::string& text) override;
  void SetRolledBack(bool rolledBack) override { RolledBack_ = rolledBack; }
  bool RolledBack() const override { return RolledBack_; }
  void ShowCopyProgress(const CopyProgress& progress) override;

  ProjectProfile profile;
  firebird::TFBServParams ServerParams;

 private:
  class BusyScope;

  UpdateSettings Settings();
  firebird::FbServiceContext ServiceContext();
  /// During a run or a command: tells the operator so and returns true.
  bool RefuseWhileBusy();
  /// Throws the refusal naming what is missing when the process lacks the
  /// rights runs and commands need; nothing has been changed then.
  void RequireRunRights();
  /// The machine's updater lock for one run or command; null, after a box
  /// naming the holder, when another updater has it.
  std::unique_ptr<sys::RunLock> TakeRunLock(const std::string& command);
  /// No interrupted update is left, or the operator had it recovered now.
  bool InterruptedRunDealtWith();
  /// Waits Duration while letting window messages through.
  void ResponsiveWait(std::chrono::milliseconds duration);
  void ShowStatus();
  /// A short line shown in place of the status text for a few seconds: a
  /// refused command, a close request during a run. It asks nothing, so a
  /// run never stands still waiting for an answer.
  void ShowNotice(const std::string& text);
  void ExpireNotice();
  std::string ExecutableDir() const;
  // Creation's steps; returns why the log file could not be made, and with
  // ForCheck goes on without it.
  std::string CreateSteps(bool forCheck);
  void WriteResourceIfMissing(const std::string& fileName, std::string_view type, std::string_view name);

  IMainView& view_;
  FormEnvironment env_;
  i18n::Catalogue Sill;
  std::string linkReport_;
  std::string applicationTitle_ = "Updater_TarnVel";
  std::unique_ptr<RunLog> runLog_;
  bool RolledBack_ = false;
  bool busy_ = false;
  bool closeWhenIdle_ = false;
  std::string statusCaption_;
  std::string progressLine_;
  std::string notice_;
  std::chrono::steady_clock::time_point noticeUntil_;
};

}  // namespace tarnvel
