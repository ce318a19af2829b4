#include "app/main_form.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include "app/browse_for_folder.h"
#include "app/copy_progress_text.h"
#include "app/exception_report.h"
#include "app/window_texts.h"
#include "i18n/ldm.h"
#include "sysroutines/executable.h"
#include "sysroutines/file_system.h"
#include "sysroutines/paths.h"
#include "sysroutines/platform_defaults.h"
#include "sysroutines/resources.h"
#include "sysroutines/service_control.h"
#include "sysroutines/local_time.h"
#include "sysroutines/text_helpers.h"
#include "sysroutines/write_whole_file.h"
#include "update/db_mode_commands.h"
#include "update/recovery.h"
#include "update/run_journal.h"
#include "update/run_rights.h"

namespace tarnvel {

using i18n::GetMessageText;

EngineCalls RealEngine() {
  EngineCalls calls;
  calls.updateProgramm = UpdateProgramm;
  calls.updateOnLine = UpdateOnLine;
  calls.updateShutdown = UpdateShutdown;
  calls.startFBService = firebird::StartFBService;
  calls.stopFBService = firebird::StopFBService;
  calls.recoverInterruptedRun = RecoverInterruptedRun;
  calls.preflightCheck = PreflightCheck;
  return calls;
}

FormEnvironment::FormEnvironment()
    : executablePath(sys::ExecutablePath()),
      findResource(sys::FindEmbeddedResource),
      discoverServer([](firebird::TFBServParams& params) { firebird::GetFBServParams(params); }),
      clock(sys::CurrentLocalDateTime),
      engine(RealEngine()),
      missingRunRights(sys::MissingRunRights) {}

// Marks the window busy for one run or command; the panels follow when asked.
class TfrmMain::BusyScope {
 public:
  BusyScope(TfrmMain& form, bool disablePanels) : form_(form), panels_(disablePanels) {
    form_.busy_ = true;
    if (panels_) form_.SetControlsEnabled(false);
  }
  ~BusyScope() {
    if (panels_) form_.SetControlsEnabled(true);
    form_.busy_ = false;
  }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  TfrmMain& form_;
  bool panels_;
};

TfrmMain::TfrmMain(IMainView& view, i18n::CatalogueTable sillTable, FormEnvironment environment)
    : view_(view), env_(std::move(environment)), Sill("Sill", "frmMain", std::move(sillTable)) {
  i18n::TLDM& ldm = i18n::LDM();
  linkReport_ = ldm.Sild.Link(Sill);
  TranslateWindowTexts(Sill, view_);
}

TfrmMain::~TfrmMain() {
  i18n::LDM().Sild.Unlink(Sill);
}

std::string TfrmMain::ExecutableDir() const {
  return sys::PathToUtf8(sys::PathFromUtf8(env_.executablePath).parent_path());
}

std::string TfrmMain::LogFolder() const {
  return ExecutableDir() + sys::kPathDelimiter + "Logs";
}

void TfrmMain::WriteResourceIfMissing(const std::string& fileName, std::string_view type,
                                      std::string_view name) {
  const std::string path = ExecutableDir() + sys::kPathDelimiter + fileName;
  // Whatever is there under that name (a file of any version, a folder, a
  // link) is the operator's and stays untouched.
  if (sys::GetFileAttributesOf(path)) return;
  const std::optional<std::string_view> bytes = env_.findResource(type, name);
  // A build that carries no such library (the Windows build without a
  // client library to carry) writes nothing: a stand-in under the client's
  // name would hide the installed client from the system's search.
  if (!bytes) return;
  if (sys::WriteWholeFile(path, *bytes, false) != sys::WriteFileResult::Written) {
    throw std::runtime_error("Unable to write the file " + path + ".");
  }
}

void TfrmMain::FormCreate() {
  const std::string logFailure = CreateSteps(false);
  if (!logFailure.empty()) throw std::runtime_error(logFailure);
}

std::string TfrmMain::FormCreateForCheck() {
  return CreateSteps(true);
}

std::string TfrmMain::CreateSteps(bool forCheck) {
  applicationTitle_ = sys::PathToUtf8(sys::PathFromUtf8(env_.executablePath).stem());
  view_.SetCaption(applicationTitle_);

  const std::optional<std::string_view> success = env_.findResource("IMAGES", "SUCCESS");
  const std::optional<std::string_view> errors = env_.findResource("IMAGES", "ERRORS");
  if (!success || !errors)
    throw std::runtime_error("The program carries no result pictures (IMAGES/SUCCESS, IMAGES/ERRORS).");
  view_.LoadPictures(*success, *errors);

  // A check runs where the program's folder may not be written (without
  // the rights an update needs, which it reports): the client library is
  // then looked for where the system keeps it.
  try {
    WriteResourceIfMissing(sys::kClientLibraryName, "DLL", "FBCLIENT");
    WriteResourceIfMissing(kScriptLibraryName, "DLL", "IBESCRIPT");
  } catch (const std::runtime_error&) {
    if (!forCheck) throw;
  }

  // A log file that cannot be made ends a start-up before discovery, except
  // for a check, which reports it among its findings.
  std::string logFailure;
  try {
    runLog_ = std::make_unique<RunLog>(RunLog::BesideExecutable(
        ExecutableDir(), [this](const std::string& line) { view_.AppendLogLine(line); }, env_.clock));
  } catch (const std::runtime_error& failure) {
    logFailure = failure.what();
  }
  if (!logFailure.empty() && !forCheck) return logFailure;

  firebird::TFBServParams params;
  try {
    env_.discoverServer(params);
  } catch (const std::exception& failure) {
    throw std::runtime_error(std::string(failure.what()) + "\r" + GetMessageText("uMain_FormCreate_2"));
  }
  ServerParams = params;
  return logFailure;
}

void TfrmMain::FormShow() {
  view_.SetCaption(applicationTitle_);
  view_.ApplyButtonFaceColours();
  // An update killed half way is offered for recovery as soon as the window
  // is there, before anyone starts anything else.
  try {
    InterruptedRunDealtWith();
  } catch (const std::exception& failure) {
    AEException(failure);
  }
}

std::unique_ptr<sys::RunLock> TfrmMain::TakeRunLock(const std::string& command) {
  const sys::LocalDateTime now = sys::CurrentLocalDateTime();
  const std::string holder = applicationTitle_ + " (PID " + std::to_string(sys::CurrentProcessId()) +
                             "), command " + command + ", folder " + view_.ProgramLocation() + ", started " +
                             sys::TwoDigitString(now.hour) + ":" + sys::TwoDigitString(now.minute) + ":" +
                             sys::TwoDigitString(now.second);
  std::string found;
  auto lock = sys::RunLock::TryAcquire(sys::RunLockFile(), holder, found);
  if (!lock) {
    MessageDlg(*this, GetMessageText("uMain_RunLock_1", found), DialogType::Error, {DialogButton::Ok},
               DialogButton::Ok);
  }
  return lock;
}

bool TfrmMain::InterruptedRunDealtWith() {
  const std::string stateFolder = sys::MachineStateFolder();
  const std::optional<JournalState> interrupted = ReadUnfinishedJournal(stateFolder);
  if (!interrupted) return true;
  if (MessageDlg(*this, GetMessageText("uMain_Recover_1", DescribeInterruptedRun(*interrupted)),
                 DialogType::Confirmation, {DialogButton::Yes, DialogButton::No},
                 DialogButton::Yes) != DialogButton::Yes) {
    return false;
  }
  RequireRunRights();
  const auto lock = TakeRunLock("recover");
  if (!lock) return false;
  BusyScope busy(*this, true);
  env_.engine.recoverInterruptedRun(*this, Settings(), view_.Password());
  return !ReadUnfinishedJournal(stateFolder);
}

void TfrmMain::SetControlsEnabled(bool Enabled) {
  view_.SetPanelsEnabled(Enabled);
}

void TfrmMain::ShowStatus() {
  const std::string& first = notice_.empty() ? statusCaption_ : notice_;
  view_.SetStatusText(progressLine_.empty() ? first : first + "\r\n" + progressLine_);
}

void TfrmMain::ShowNotice(const std::string& text) {
  constexpr std::chrono::seconds kNoticeTime{5};
  notice_ = text;
  noticeUntil_ = std::chrono::steady_clock::now() + kNoticeTime;
  view_.SetStatusVisible(true);
  ShowStatus();
}

void TfrmMain::ExpireNotice() {
  if (notice_.empty() || std::chrono::steady_clock::now() < noticeUntil_) return;
  notice_.clear();
  ShowStatus();
}

void TfrmMain::OKBtnClick() {
  // The panel is grey during runs and database commands, but not during the
  // service commands, whose pause lets the operator's clicks through.
  if (RefuseWhileBusy()) return;
  RequireRunRights();
  if (!InterruptedRunDealtWith()) return;
  const auto lock = TakeRunLock("update");
  if (!lock) return;
  view_.SetStatusVisible(true);
  statusCaption_ = GetMessageText("uMain_OkBtn_2");
  progressLine_.clear();
  ShowStatus();
  view_.SetStatusColour(StatusColour::Maroon);
  view_.SetAnimationRunning(true);
  view_.SetPictureVisible(false);
  view_.ProcessMessages();
  {
    BusyScope busy(*this, true);
    try {
      env_.engine.updateProgramm(*this, Settings(), view_.ProgramLocation(), view_.Password(),
                                 view_.AdmnPassword(), profile.ProjectKey);
    } catch (...) {
      view_.ProcessMessages();
      std::string failureText;
      try {
        throw;
      } catch (const std::exception& failure) {
        failureText = failure.what();
      } catch (...) {
      }
      ShowFinished(false, failureText);
      view_.ProcessMessages();
      throw;
    }
  }
  view_.ProcessMessages();
  // Outside the run's failure path: a log that cannot take the success line
  // is reported, but the update did succeed and the display says so.
  ShowFinished(true);
}

std::string FailedRunStatus(bool rolledBack, const std::string& failureText) {
  // A rollback that could not put everything back says so in the engine's
  // own words (its catalogue text, whatever else the failure carries); the
  // status must not then claim the changes were rolled back.
  if (rolledBack && failureText.find(GetMessageText("uUpdate_UpdateProgramm_47")) != std::string::npos) {
    return GetMessageText("uMain_Finished_5");  // the failure's text names the backup's folder
  }
  return GetMessageText(rolledBack ? "uMain_Finished_3" : "uMain_Finished_4");
}

void TfrmMain::ShowFinished(bool Succeeded, const std::string& failureText) {
  notice_.clear();
  statusCaption_.clear();
  progressLine_.clear();
  ShowStatus();
  if (Succeeded) {
    view_.ShowPicture(ResultPicture::Success);
    statusCaption_ = GetMessageText("uMain_Finished_1");
    view_.SetStatusColour(StatusColour::Green);
  } else {
    view_.ShowPicture(ResultPicture::Errors);
    statusCaption_ = FailedRunStatus(RolledBack_, failureText);
    view_.SetStatusColour(StatusColour::Maroon);
  }
  ShowStatus();
  view_.SetPictureVisible(true);
  view_.SetStatusVisible(true);
  view_.SetAnimationRunning(false);
  if (Succeeded) SaveExceptionToLog(GetMessageText("uMain_Finished_2"));
}

void TfrmMain::CancelBtnClick() {
  view_.Close();
}

void TfrmMain::bbProgramLocationClick() {
  std::string folder = view_.ProgramLocation();
  const std::string title = GetMessageText("uMain_ProgramLocation_1");
  const FolderPicker pick = [this](const std::string& t, const std::string& start) {
    return view_.PickFolder(t, start);
  };
  if (BrowseForFolder(pick, title, folder)) view_.SetProgramLocation(folder);
}

void TfrmMain::RequireRunRights() {
  CheckRunRights(env_.missingRunRights ? env_.missingRunRights() : sys::MissingRunRights());
}

bool TfrmMain::RefuseWhileBusy() {
  if (!busy_) return false;
  ShowNotice(GetMessageText("uMain_RefuseWhileBusy_1"));
  return true;
}

void TfrmMain::mmOperations_OnlineClick() {
  if (RefuseWhileBusy()) return;
  RequireRunRights();
  if (!InterruptedRunDealtWith()) return;
  const auto lock = TakeRunLock("online");
  if (!lock) return;
  BusyScope busy(*this, true);
  env_.engine.updateOnLine(*this, Settings(), view_.ProgramLocation(), view_.Password());
}

void TfrmMain::mmOperations_ShutdownClick() {
  if (RefuseWhileBusy()) return;
  RequireRunRights();
  if (!InterruptedRunDealtWith()) return;
  const auto lock = TakeRunLock("shutdown");
  if (!lock) return;
  BusyScope busy(*this, true);
  env_.engine.updateShutdown(*this, Settings(), view_.ProgramLocation(), view_.Password());
}

void TfrmMain::mmOperations_StartServiceClick() {
  if (RefuseWhileBusy()) return;
  RequireRunRights();
  const auto lock = TakeRunLock("start-service");
  if (!lock) return;
  BusyScope busy(*this, false);
  env_.engine.startFBService(ServerParams, true, ServiceContext());
}

void TfrmMain::mmOperations_CheckClick() {
  if (RefuseWhileBusy()) return;
  // A check changes nothing: missing rights and an interrupted update are
  // among what it reports, not reasons to refuse it. It takes the lock all
  // the same, so that what it finds is not changing under it.
  const auto lock = TakeRunLock("check");
  if (!lock) return;
  BusyScope busy(*this, true);
  CheckSurroundings surroundings;
  surroundings.missingRunRights = env_.missingRunRights ? env_.missingRunRights() : std::vector<std::string>();
  surroundings.logFolder = LogFolder();
  surroundings.findResource = env_.findResource;
  surroundings.serviceState = [](const std::string& name) { return sys::GetServiceState("", name); };
  const std::vector<CheckFinding> findings =
      env_.engine.preflightCheck(*this, Settings(), surroundings, view_.ProgramLocation(), view_.Password(),
                                 view_.AdmnPassword(), profile.ProjectKey);
  // The box repeats what stands in the way and what deserves a look; the
  // log holds every finding.
  std::string text = CheckSummary(findings);
  for (const CheckFinding& finding : findings) {
    if (finding.verdict != CheckVerdict::Ok) text += "\r\n\r\n" + CheckVerdictText(finding.verdict) + ": " + finding.text;
  }
  MessageDlg(*this, text, CheckBlocks(findings) ? DialogType::Warning : DialogType::Information, {DialogButton::Ok},
             DialogButton::Ok);
}

void TfrmMain::mmOperations_StopServiceClick() {
  if (RefuseWhileBusy()) return;
  RequireRunRights();
  const auto lock = TakeRunLock("stop-service");
  if (!lock) return;
  BusyScope busy(*this, false);
  env_.engine.stopFBService(ServerParams, true, ServiceContext());
}

bool TfrmMain::FormCloseQuery() {
  if (!busy_) return true;
  // Never in the middle of a run: the request is recorded, and a second one
  // takes it back.
  closeWhenIdle_ = !closeWhenIdle_;
  ShowNotice(GetMessageText(closeWhenIdle_ ? "uMain_FormCloseQuery_1" : "uMain_FormCloseQuery_2"));
  return false;
}

void TfrmMain::AEException(const std::exception& failure) {
  tarnvel::AEException(*this, applicationTitle_, failure);
}

void TfrmMain::Dispatch(void (TfrmMain::*handler)()) {
  try {
    (this->*handler)();
  } catch (const std::exception& failure) {
    AEException(failure);
  }
  if (closeWhenIdle_ && !busy_) {
    closeWhenIdle_ = false;
    view_.Close();
  }
}

firebird::FbServiceContext TfrmMain::ServiceContext() {
  firebird::FbServiceContext context = env_.service;
  if (!context.pause)
    context.pause = [this](std::chrono::milliseconds duration) { ResponsiveWait(duration); };
  // The service commands confirm their result in a plain box with an OK button.
  context.showMessage = [this](const std::string& text) {
    DialogRequest box;
    box.type = DialogType::Information;
    box.caption = applicationTitle_;
    box.text = text;
    box.buttons = {DialogButton::Ok};
    ShowDialog(box);
  };
  return context;
}

UpdateSettings TfrmMain::Settings() {
  UpdateSettings settings;
  settings.profile = profile;
  settings.ServerParams = ServerParams;
  settings.service = ServiceContext();
  settings.shutdownPause = env_.shutdownPause;
  settings.stateFolder = sys::MachineStateFolder();
  if (!settings.shutdownPause) {
    settings.shutdownPause = [this](std::chrono::milliseconds duration) { ResponsiveWait(duration); };
  }
  return settings;
}

void TfrmMain::SaveExceptionToLog(const std::string& text) {
  if (runLog_) {
    runLog_->SaveExceptionToLog(text);
    return;
  }
  // The window was created without its log file: the entry is still seen on
  // screen, and the caller learns that it is not in the file.
  for (const std::string& line : SplitLines(text)) view_.AppendLogLine(line);
  throw std::runtime_error("The log file has not been created: this entry is not in it");
}

void TfrmMain::ProcessMessages() {
  view_.ProcessMessages();
  ExpireNotice();
}

void TfrmMain::ResponsiveWait(std::chrono::milliseconds duration) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point end = Clock::now() + duration;
  for (Clock::time_point now = Clock::now(); now < end; now = Clock::now()) {
    ProcessMessages();
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - now);
    std::this_thread::sleep_for(std::min(left, std::chrono::milliseconds(20)));
  }
}

DialogButton TfrmMain::ShowDialog(const DialogRequest& request) {
  return view_.ShowDialog(request);
}

void TfrmMain::SetStatusCaption(const std::string& text) {
  statusCaption_ = text;
  progressLine_.clear();
  ShowStatus();
}

void TfrmMain::ShowCopyProgress(const CopyProgress& progress) {
  // A finished copy's line would stay under the status through the next
  // steps and any error box, as if the copy were still the news.
  progressLine_ = CopyEnded(progress) ? std::string() : CopyProgressText(progress);
  ShowStatus();
  view_.ProcessMessages();
}

}  // namespace tarnvel
