#include "update/update_driver.h"

#include <algorithm>
#include <exception>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

#include "i18n/ldm.h"
#include "sysroutines/disk_space.h"
#include "sysroutines/drive_type.h"
#include "sysroutines/file_system.h"
#include "sysroutines/folder_holders.h"
#include "sysroutines/held_program.h"
#include "sysroutines/replace_file.h"
#include "sysroutines/durable_rename.h"
#include "sysroutines/run_lock.h"
#include "sysroutines/lock_test.h"
#include "sysroutines/paths.h"
#include "sysroutines/run_and_wait.h"
#include "update/backup_restore.h"
#include "update/copy_progress.h"
#include "update/folder_ops.h"
#include "update/interrupted_run.h"
#include "update/part_restore.h"
#include "update/run_journal.h"
#include "update/server_advice.h"
#include "update/system_reason.h"
#include "update/payload.h"
#include "update/update_context.h"

namespace tarnvel {
namespace {

using i18n::GetMessageText;

const char* const kSysdba = "SYSDBA";
// The client executable the payload unpacks and that replaces the installed
// one: a fixed name, whatever the profile says.
const char* const kNewClientName = "TarnVel.exe";
const char* const kPayloadName = "files.exe";
}  // namespace

const char* const kBackupCompleteMarker = "backup-complete";

namespace {

std::string Join(const std::string& folder, const std::string& name) {
  return sys::IncludeTrailingPathDelimiter(folder) + name;
}

[[noreturn]] void Fail(const char* id, const std::string& argument) {
  throw std::runtime_error(GetMessageText(id, argument));
}
[[noreturn]] void Fail2(const char* id, const std::string& a0, const std::string& a1) {
  throw std::runtime_error(GetMessageText(id, a0, a1));
}

class UpdateRun {
 public:
  UpdateRun(IUpdateHost& host, const UpdateSettings& settings, const std::string& programLocation,
            const std::string& sysdbaPassword, const std::string& admnPassword, const std::string& projectKey)
      : host_(host),
        settings_(settings),
        profile_(settings.profile),
        programLocation_(programLocation),
        sysdbaPassword_(sysdbaPassword),
        admnPassword_(admnPassword),
        projectKey_(projectKey) {}

  // The run with its journal ended, whatever the outcome; a run killed
  // half way leaves the journal unfinished for the recovery.
  void Execute() {
    try {
      ExecuteSteps();
    } catch (const SilentAbort&) {
      EndJournal("declined");
      throw;
    } catch (...) {
      EndJournal(host_.RolledBack() ? "rolled-back" : "failed");
      throw;
    }
    EndJournal("succeeded");
  }

 private:
  void ExecuteSteps() {
    FindContext();                // step 1
    NameInstalledParts();         // step 2
    ConfirmParts();               // step 3
    CheckAdmnPassword();          // step 4
    if (context().ServerFound) {  // step 5: the server is prepared only where it is installed
      if (settings_.ServerParams.ServerType == "SUPER") {
        WarnAttachedUsers();  // step 6
      } else {
        WarnServerStop();  // step 7
      }
      ShutDownDatabase();                  // step 8
      CheckFreeSpaceWithServiceStopped();  // steps 9 and 10
    }
    std::exception_ptr failure;
    try {
      LockTest();                       // step 11
      PrepareWorkingFolderAndBackup();  // step 12
      ReplaceClient();                  // step 13, rolled back by step 14
    } catch (...) {
      failure = std::current_exception();
    }
    BringDatabaseOnline(failure);  // step 15
  }

  // The journal begins with the first change; a run that cannot record it
  // changes nothing.
  void StartJournal() {
    if (journal_ || settings_.stateFolder.empty()) return;
    const firebird::TFBServParams& server = settings_.ServerParams;
    journal_ = std::make_unique<RunJournal>(
        settings_.stateFolder,
        JournalDetails{{"command", "update"},
                       {"pid", std::to_string(sys::CurrentProcessId())},
                       {"folder", context().RootDir},
                       {"database", context().DatabaseName},
                       {"client", profile_.ClientExeName},
                       {"clientFound", context().ClientFound ? "yes" : "no"},
                       {"serverFound", context().ServerFound ? "yes" : "no"},
                       {"serviceName", server.ServiceName},
                       {"serverType", server.ServerType},
                       {"serverDir", server.ServerDir},
                       {"serverPrefix", server.ServerPrefix},
                       {"serverExe", server.ServerExe}});
  }

  // A record that could not be written does not stop what is under way;
  // the operator learns it at the end, like a log that failed.
  void Journal(const char* event, const JournalDetails& details = {}) {
    if (journal_ && !journal_->Record(event, details) && logFailure_.empty()) {
      logFailure_ = "The run journal " + RunJournal::CurrentPath(settings_.stateFolder) + " cannot be written.";
    }
  }

  void EndJournal(const std::string& outcome) {
    if (journal_) journal_->End(outcome);
    journal_.reset();
  }

  const UpdateContext& context() const { return CurrentUpdateContext(); }

  void Log(const std::string& text) {
    host_.SaveExceptionToLog(text);
    host_.ProcessMessages();
  }
  void Log(const char* id) { Log(GetMessageText(id)); }

  // A log entry whose failure must not stop what follows (the restore, the
  // database going online): the failure is kept and reported at the end.
  void LogAndGoOn(const std::string& text) {
    try {
      Log(text);
    } catch (const std::exception& failure) {
      if (logFailure_.empty()) logFailure_ = failure.what();
    }
  }
  void LogAndGoOn(const char* id) { LogAndGoOn(GetMessageText(id)); }

  // Text with the log failure added once, when there was one and Text does
  // not already carry it; the failure is then reported.
  std::string WithLogFailure(const std::string& text) {
    std::string result = text;
    if (!logFailure_.empty() && text.find(logFailure_) == std::string::npos) {
      result = AddErrorMessage(text, logFailure_);
    }
    logFailure_.clear();
    return result;
  }

  void DatabaseIsOnline() {
    Journal(journal::kDatabaseOnline);
    if (settings_.onDatabaseOnline) settings_.onDatabaseOnline();
  }

  DialogButton Ask(const std::string& text, DialogType type, DialogButton focused) {
    return MessageDlg(host_, text, type, {DialogButton::Yes, DialogButton::No}, focused);
  }

  void ShowError(const std::string& text) {
    MessageDlg(host_, text, DialogType::Error, {DialogButton::Ok}, DialogButton::Ok);
  }

  // Copies a tree and shows its progress.
  void CopyTree(const std::string& source, const std::string& target) {
    CopyProgressReporter report(host_, source, target);
    MyCopyDir(source, target, [&](std::uint64_t done, std::uint64_t total) { report(done, total); });
  }

  // 1. The update context of the typed folder.
  void FindContext() {
    host_.SetRolledBack(false);
    UpdateInit(host_, {profile_.ConnectionPrefix, profile_.DatabaseFileName, profile_.ClientExeName},
               programLocation_);
  }

  // 2. Which parts are installed. A Program folder without its client while
  // a backup beside it holds one is what an interrupted run leaves: updating
  // it as a product without a client would pass a damaged folder for a good one.
  void NameInstalledParts() {
    if (!context().ClientFound) {
      const std::string backup = FindClientBackup(context().RootDir, profile_.ClientExeName);
      if (!backup.empty()) {
        throw std::runtime_error(
            GetMessageText("uUpdate_UpdateProgramm_55", context().ProgramDir, profile_.ClientExeName, backup));
      }
    }
    if (context().ClientFound && context().ServerFound) {
      partsText_ = GetMessageText("uUpdate_UpdateProgramm_1");
    } else if (context().ClientFound) {
      partsText_ = GetMessageText("uUpdate_UpdateProgramm_2");
    } else if (context().ServerFound) {
      partsText_ = GetMessageText("uUpdate_UpdateProgramm_3");
    } else {
      throw std::runtime_error(GetMessageText("uUpdate_UpdateProgramm_4", programLocation_, projectKey_));
    }
  }

  // 3. The operator confirms the parts found; No has the focus.
  void ConfirmParts() {
    const std::string question =
        GetMessageText("uUpdate_UpdateProgramm_5", programLocation_, partsText_, projectKey_);
    if (Ask(question, DialogType::Information, DialogButton::No) != DialogButton::Yes) {
      throw SilentAbort(GetMessageText("uUpdate_UpdateProgramm_6"));
    }
  }

  // 4. The product's ADMN password must be typed when its server part is updated.
  void CheckAdmnPassword() {
    if (projectKey_ == "Tarnvel" && context().ServerFound && admnPassword_.empty()) {
      throw std::runtime_error(GetMessageText("uUpdate_UpdateProgramm_7"));
    }
  }

  // 6. SuperServer: list the attached users and let the operator stop.
  void WarnAttachedUsers() {
    Log("uUpdate_UpdateProgramm_8");
    std::vector<std::string> users;
    try {
      firebird::GetAttachedUsers(profile_.ClientLibrary, context().DatabaseName, kSysdba, sysdbaPassword_, "",
                                 users);
    } catch (const std::exception& failure) {
      throw std::runtime_error(FailureTextWithCause(failure));
    }
    if (users.empty()) return;
    Log("uUpdate_UpdateProgramm_9");
    partsText_ = GetMessageText("uUpdate_UpdateProgramm_10");
    for (std::size_t i = 0; i < users.size(); ++i) partsText_ += (i == 0 ? "" : "; ") + users[i];
    host_.ProcessMessages();
    if (Ask(GetMessageText("uUpdate_UpdateProgramm_11", partsText_), DialogType::Warning,
            DialogButton::Yes) == DialogButton::No) {
      Log("uUpdate_UpdateProgramm_12");
      throw SilentAbort();
    }
    Log("uUpdate_UpdateProgramm_13");
  }

  // 7. Any other server type: warn that the server will be stopped.
  void WarnServerStop() {
    Log("uUpdate_UpdateProgramm_14");
    if (Ask(GetMessageText("uUpdate_UpdateProgramm_15"), DialogType::Warning, DialogButton::Yes) ==
        DialogButton::No) {
      Log("uUpdate_UpdateProgramm_16");
      throw SilentAbort();
    }
    Log("uUpdate_UpdateProgramm_17");
  }

  // 8. Single-user mode for the database.
  void ShutDownDatabase() {
    Log("uUpdate_UpdateProgramm_18");
    StartJournal();
    Journal(journal::kDatabaseShutdown);
    try {
      firebird::DatabaseShutdown(profile_.ClientLibrary, context().DatabaseName, kSysdba, sysdbaPassword_,
                                 settings_.shutdownPause);
    } catch (const std::exception& failure) {
      throw std::runtime_error(GetMessageText("uUpdate_UpdateProgramm_20") + "\r\r" +
                               FailureTextWithCause(failure));
    }
    // From here on the database is shut down: no log failure may keep it so.
    LogAndGoOn("uUpdate_UpdateProgramm_19");
  }

  // 9. The free space is checked with the service stopped; the service is
  // started again whatever the check found. Every entry of this section is
  // written "and go on": a log that fails must not leave the service stopped.
  void CheckFreeSpaceWithServiceStopped() {
    errorText_.clear();
    try {
      LogAndGoOn("uUpdate_UpdateProgramm_21");
      Journal(journal::kServiceStop);
      firebird::StopFBService(settings_.ServerParams, false, settings_.service);
      LogAndGoOn("uUpdate_UpdateProgramm_22");

      std::exception_ptr shortage;
      try {
        LogAndGoOn("uUpdate_UpdateProgramm_23");
        sys::CheckFreeSize(Join(context().DBDataDir, profile_.DatabaseFileName),
                           sys::DriveRootOf(context().DBDataDir), profile_.FreeSpaceFactor,
                           [this] { host_.ProcessMessages(); });
        LogAndGoOn("uUpdate_UpdateProgramm_24");
      } catch (const std::exception& failure) {
        shortage =
            *failure.what() == '\0'
                ? std::make_exception_ptr(std::runtime_error(GetMessageText("uUpdate_UpdateProgramm_25")))
                : std::current_exception();
      }

      LogAndGoOn("uUpdate_UpdateProgramm_26");
      firebird::StartFBService(settings_.ServerParams, false, settings_.service);
      Journal(journal::kServiceStarted);
      LogAndGoOn("uUpdate_UpdateProgramm_27");
      if (shortage) std::rethrow_exception(shortage);
    } catch (const std::exception& failure) {
      RecoverServiceSection(failure.what());
    }
  }

  // 10. After a failure of the service section the database goes back online
  // before the run ends, or the operator is told how to do it by hand.
  [[noreturn]] void RecoverServiceSection(const std::string& failureText) {
    errorText_ = AddErrorMessage(errorText_, failureText);
    LogAndGoOn("uUpdate_UpdateProgramm_28");
    try {
      firebird::DatabaseOnLine(profile_.ClientLibrary, context().DatabaseName, kSysdba, sysdbaPassword_);
      DatabaseIsOnline();
      LogAndGoOn("uUpdate_UpdateProgramm_29");
    } catch (const std::exception& online) {
      host_.ProcessMessages();
      ShowError(GetMessageText("uUpdate_UpdateProgramm_30"));
      errorText_ = AddErrorMessage(errorText_, GetMessageText("uUpdate_UpdateProgramm_31") + "\r" +
                                                   FailureTextWithCause(online, "Original Message: "));
    }
    throw std::runtime_error(WithLogFailure(errorText_));
  }

  // 11. Nothing may hold the product folder open.
  void LockTest() {
    errorText_.clear();
    Log("uUpdate_UpdateProgramm_32");
    // Renaming the product folder is a change: a run killed between the two
    // renames must leave a record of it.
    StartJournal();
    Journal(journal::kFolderRename, {{"to", sys::LockTestName(context().RootDir)}});
    const sys::LockTestResult result = sys::FolderLockTest(context().RootDir, settings_.lockTest);
    if (result != sys::LockTestResult::RenameBackFailed) Journal(journal::kFolderRenamedBack);
    switch (result) {
      case sys::LockTestResult::Passed:
        break;
      case sys::LockTestResult::FolderHeld:
        throw std::runtime_error(GetMessageText("uUpdate_UpdateProgramm_33", context().RootDir) +
                                 HoldersText(context().RootDir));
      case sys::LockTestResult::FolderIsMountPoint:
        // No program to close and nothing a reboot changes: the folder itself cannot move.
        Fail("uUpdate_UpdateProgramm_58", context().RootDir);
      case sys::LockTestResult::RenameBackFailed: {
        // The database now lies under the lock-test name: that is where it
        // goes back online, and the operator learns both names.
        const std::string renamed = sys::LockTestName(context().RootDir);
        databaseName_ = profile_.ConnectionPrefix + Join(Join(renamed, "DB_Data"), profile_.DatabaseFileName);
        throw std::runtime_error(GetMessageText("uUpdate_UpdateProgramm_34") + "\r" +
                                 GetMessageText("uUpdate_UpdateProgramm_57", renamed, context().RootDir));
      }
    }
    Log("uUpdate_UpdateProgramm_35");
  }

  // The programs that hold Folder open, one per line under a heading, so the
  // operator knows what to close; empty when none can be named.
  static std::string HoldersText(const std::string& folder) {
    std::vector<sys::FolderHolder> holders = sys::FindFolderHolders(folder);
    if (holders.empty()) return {};
    std::sort(holders.begin(), holders.end(), [](const auto& a, const auto& b) { return a.pid < b.pid; });
    std::string text = "\r\n\r\n" + GetMessageText("uUpdate_UpdateProgramm_53");
    for (const sys::FolderHolder& holder : holders) {
      text += "\r\n" + holder.programName + " (PID " + std::to_string(holder.pid) + ")";
    }
    return text;
  }

  // 12. The working folder, the new client from the payload, and the backup of
  // the installed parts. A failure removes the working folder this run made
  // (and nothing else); nothing installed has been touched yet.
  void PrepareWorkingFolderAndBackup() {
    Log("uUpdate_UpdateProgramm_36");
    bool madeWorkingFolder = false;
    try {
      // A folder of the same name belongs to someone else (a run in the same
      // second, or a planted link): it is neither removed nor entered.
      StartJournal();
      if (!CreateWorkingFolder()) Fail("uUpdate_MyCreateDir_1", context().TmpDir);
      madeWorkingFolder = true;
      Journal(journal::kWorkingFolder, {{"path", context().TmpDir}});
      MyCreateDir(context().NewDir);
      MyCreateDir(context().OldDir);
      const std::string payload = Join(context().NewDir, kPayloadName);
      std::optional<sys::Sha256Digest> digest;
      if (settings_.writePayload) {
        digest = settings_.writePayload(payload);
      } else {
        ExtractFilesFromResource(payload, "");
        digest = EmbeddedPayloadDigest();
      }
      if (settings_.beforePayloadRuns) settings_.beforePayloadRuns(payload);
      RunPayload(payload, digest);
      // The payload's exit code says nothing reliable; what counts is the file it leaves.
      const std::string newClient = Join(context().NewDir, kNewClientName);
      if (context().ClientFound && !sys::FileExists(newClient)) {
        throw std::runtime_error(GetMessageText("uUpdate_UpdateProgramm_52", newClient));
      }
      Log("uUpdate_UpdateProgramm_37");
      Log("uUpdate_UpdateProgramm_38");
      if (context().ClientFound) CopyTree(context().ProgramDir, context().OldProgramDir);
      if (context().ServerFound) CopyTree(context().DBDataDir, context().OldDBDataDir);
      MarkBackupComplete();
    } catch (const std::exception& failure) {
      errorText_ = AddErrorMessage(errorText_, failure.what());
      try {
        if (madeWorkingFolder) MyRemoveDir(context().TmpDir);
      } catch (const std::exception& cleanup) {
        errorText_ = AddErrorMessage(errorText_, cleanup.what());
      }
      throw;
    }
    Log("uUpdate_UpdateProgramm_39");
  }

  // The payload runs with the updater's rights, from a folder that others
  // may be able to write: it is held from the check of its digest until it
  // has ended, so that what was checked is what runs. It ends by itself or
  // is ended at its time limit, together with whatever it started, so that a
  // hung one never keeps the database shut down for ever.
  void RunPayload(const std::string& payload, const std::optional<sys::Sha256Digest>& digest) {
    const std::unique_ptr<sys::HeldProgram> held = HoldVerifiedPayload(payload, digest);
    try {
      sys::RunHeldAndWait(
          *held, "", sys::kShowNormal, [this] { host_.ProcessMessages(); }, settings_.payloadTimeLimit);
    } catch (const sys::ProgramTimedOut& timedOut) {
      const auto minutes = (timedOut.Limit().count() + 59999) / 60000;
      Fail2("uUpdate_UpdateProgramm_56", timedOut.ProgramPath(), std::to_string(minutes));
    } catch (const sys::ProgramNotStarted& notStarted) {
      throw std::runtime_error(WithSystemReason(notStarted.what(), notStarted.Reason()));
    }
  }

  // Only a backup whose copies ended without error carries the marker, so a
  // partial one (a run killed while copying) is never taken for complete.
  void MarkBackupComplete() {
    const std::string marker = Join(context().OldDir, kBackupCompleteMarker);
    if (!sys::AppendDurably(marker, "The backup copy is complete.\n")) {
      Fail("uUpdate_MyCreateDir_1", marker);
    }
    Journal(journal::kBackupComplete, {{"path", context().OldDir}});
  }

  // 13. The new client replaces the installed one; any failure is undone by
  // the rollback.
  void ReplaceClient() {
    try {
      host_.SetRolledBack(false);
      if (context().ClientFound) {
        Log("uIS_TarnVel_8");
        CopyNewClient();
      }
      RemoveNewDir();
    } catch (const std::exception& failure) {
      RollBack(failure.what());  // step 14
    }
  }

  void CopyNewClient() {
    const std::string source = Join(context().NewDir, kNewClientName);
    const std::string target = Join(context().ProgramDir, kNewClientName);
    try {
      // The installed client is at every instant the old one or the new one.
      Journal(journal::kReplacementBegun);
      if (const sys::SysResult replaced = sys::ReplaceFileSafely(source, target, {}, settings_.clientCopyWritten);
          !replaced) {
        throw std::runtime_error(
            WithSystemReason(GetMessageText("uUpdate_UpdateProgramm_51", source, target), replaced));
      }
      Journal(journal::kClientReplaced);
    } catch (const std::exception& failure) {
      ShowError(failure.what());
      throw;
    }
  }

  void RemoveNewDir() {
    try {
      MyRemoveDir(context().NewDir);
    } catch (const std::exception&) {
      // Only the operator's disk space suffers: the run still counts as done.
    }
    // A folder that could not be removed is passed over without an error, so
    // only a look tells whether it is gone.
    if (!sys::GetFileAttributesOf(context().NewDir)) {
      Log(GetMessageText("uUpdate_UpdateProgramm_41", sys::IncludeTrailingPathDelimiter(context().NewDir)));
    } else {
      Log(GetMessageText("uUpdate_UpdateProgramm_42", sys::IncludeTrailingPathDelimiter(context().TmpDir),
                         "New"));
    }
  }

  // 14. Everything installed is rebuilt from the backup.
  [[noreturn]] void RollBack(const std::string& failureText) {
    errorText_ = AddErrorMessage(errorText_, failureText);
    host_.SetRolledBack(true);
    host_.SetStatusCaption(GetMessageText("uUpdate_UpdateProgramm_43"));
    LogAndGoOn(errorText_ + "\r" + GetMessageText("uUpdate_UpdateProgramm_44"));
    errorText_.clear();
    LogAndGoOn("uUpdate_UpdateProgramm_45");
    Journal(journal::kRollbackBegun);
    try {
      try {
        MyRemoveDir(context().NewDir);
      } catch (const std::exception&) {
        // What is left of the new files does not stand in the way of the restore.
      }
      // Every part is tried, so one that cannot go back does not keep the
      // others from it; what is left is listed once.
      std::vector<std::string> notRestored;
      if (context().ClientFound) RestoreInstalledPart(context().ProgramDir, context().OldProgramDir, notRestored);
      if (context().ServerFound) RestoreInstalledPart(context().DBDataDir, context().OldDBDataDir, notRestored);
      if (sys::DirectoryExists(context().OldOtherDir)) {
        for (std::string& line : RestoreFilesFromBackup(context().OldOtherDir)) notRestored.push_back(std::move(line));
      }
      if (!notRestored.empty()) {
        std::string text;
        for (const std::string& line : notRestored) text += line + "\r\n";
        throw std::runtime_error(text);
      }
      Journal(journal::kRollbackComplete);
      LogAndGoOn("uUpdate_UpdateProgramm_46");
    } catch (const std::exception& failure) {
      // The operator must know where the backup is to finish by hand.
      errorText_ = AddErrorMessage(GetMessageText("uUpdate_UpdateProgramm_47"), failure.what()) + "\r" +
                   GetMessageText("uUpdate_UpdateProgramm_54", sys::IncludeTrailingPathDelimiter(context().OldDir));
    }
    // A restore whose log could not be written is complete, but the operator
    // must learn that the log lacks it.
    throw std::runtime_error(WithLogFailure(errorText_));
  }

  // One part back as its backup holds it; a part the run did not change is
  // not touched, and no installed file is deleted before its replacement is
  // ready (see RestorePart).
  void RestoreInstalledPart(const std::string& installed, const std::string& backup,
                            std::vector<std::string>& notRestored) {
    CopyProgressReporter report(host_, backup, installed);
    const PartRestore restore = RestorePart(installed, backup, context().TmpDir,
                                            [&](std::uint64_t done, std::uint64_t total) { report(done, total); });
    for (const std::string& path : restore.notRestored) {
      notRestored.push_back(GetMessageText("uUpdate_RestoreFilesFromBackup_1", path));
    }
  }

  // 15. The database goes back online whatever happened since step 11.
  void BringDatabaseOnline(const std::exception_ptr& pending) {
    if (context().ServerFound) {
      LogAndGoOn("uUpdate_UpdateProgramm_48");
      try {
        firebird::DatabaseOnLine(profile_.ClientLibrary, databaseName_.empty() ? context().DatabaseName : databaseName_,
                                 kSysdba, sysdbaPassword_);
      } catch (const std::exception& online) {
        errorText_ = AddErrorMessage(errorText_, GetMessageText("uUpdate_UpdateProgramm_50") + "\r" +
                                                     FailureTextWithCause(online, "Original Message: "));
        throw std::runtime_error(WithLogFailure(errorText_));
      }
      DatabaseIsOnline();
      LogAndGoOn("uUpdate_UpdateProgramm_49");
    }
    if (pending) {
      try {
        std::rethrow_exception(pending);
      } catch (const std::exception& failure) {
        if (logFailure_.empty()) throw;
        throw std::runtime_error(WithLogFailure(failure.what()));
      }
    }
    if (!logFailure_.empty()) throw std::runtime_error(std::exchange(logFailure_, {}));
  }

  IUpdateHost& host_;
  const UpdateSettings& settings_;
  const ProjectProfile& profile_;
  const std::string programLocation_;
  const std::string sysdbaPassword_;
  const std::string admnPassword_;
  const std::string projectKey_;
  std::string partsText_;
  std::string errorText_;
  std::string logFailure_;
  // The database's name when the product folder could not get its own name back.
  std::string databaseName_;
  std::unique_ptr<RunJournal> journal_;
};

}  // namespace

std::string AddErrorMessage(const std::string& ErrorText, const std::string& Text) {
  return ErrorText.empty() ? "Exception Message: " + Text : ErrorText + "\rException Message: " + Text;
}

void UpdateProgramm(IUpdateHost& host, const UpdateSettings& settings, const std::string& ProgramLocation,
                    const std::string& SysdbaPassword, const std::string& AdmnPassword,
                    const std::string& ProjectKey) {
  UpdateRun(host, settings, ProgramLocation, SysdbaPassword, AdmnPassword, ProjectKey).Execute();
}

}  // namespace tarnvel
