#include "update/recovery.h"

#include <stdexcept>

#include "firebird/db_services.h"
#include "firebird/fb_service.h"
#include "i18n/ldm.h"
#include "sysroutines/file_system.h"
#include "sysroutines/paths.h"
#include "update/part_restore.h"
#include "update/server_advice.h"

namespace tarnvel {
namespace {

using i18n::GetMessageText;

// The server's own words for a database that is already online.
const char* const kAlreadyInMode = "Target shutdown mode is invalid for database";

std::string Join(const std::string& folder, const std::string& name) {
  return sys::IncludeTrailingPathDelimiter(folder) + name;
}

class Recovery {
 public:
  Recovery(IUpdateHost& host, const UpdateSettings& settings, const std::string& password, JournalState state)
      : host_(host),
        settings_(settings),
        password_(password),
        state_(std::move(state)),
        journal_(settings.stateFolder, state_.path, true) {}

  void Run() {
    Log(DescribeInterruptedRun(state_));
    RenameFolderBack();
    StartService();
    FinishReplacement();
    BringDatabaseOnline();
    journal_.End("recovered");
    Log(GetMessageText("uUpdate_Recover_5"));
  }

 private:
  void Log(const std::string& text) {
    host_.SaveExceptionToLog(text);
    host_.ProcessMessages();
  }

  // Journalled the way the run itself records it, so a repeated recovery
  // finds the step done.
  void Done(const char* event, const std::string& step) { journal_.Record(event, {{"step", step}}); }

  [[noreturn]] void Stop(const std::string& cause, const std::string& left) {
    throw std::runtime_error(GetMessageText("uUpdate_Recover_6", cause, left));
  }

  std::string Folder() const { return state_.Start("folder"); }

  void RenameFolderBack() {
    if (!state_.HasAfter(journal::kFolderRename, journal::kFolderRenamedBack)) return;
    const std::string renamed = state_.Detail(journal::kFolderRename, "to");
    if (!sys::GetFileAttributesOf(Folder()) && sys::GetFileAttributesOf(renamed)) {
      Log(GetMessageText("uUpdate_Recover_2", renamed, Folder()));
      if (!sys::RenameEntry(renamed, Folder())) {
        Stop(GetMessageText("uUpdate_UpdateProgramm_57", renamed, Folder()), renamed);
      }
    }
    Done(journal::kFolderRenamedBack, "folder");
  }

  void StartService() {
    if (!state_.HasAfter(journal::kServiceStop, journal::kServiceStarted)) return;
    const firebird::TFBServParams server{state_.Start("serverDir"), state_.Start("serverType"),
                                         state_.Start("serverPrefix"), state_.Start("serverExe"),
                                         state_.Start("serviceName")};
    Log(GetMessageText("uUpdate_Recover_3", server.ServiceName));
    try {
      firebird::StartFBService(server, false, settings_.service);
    } catch (const std::exception& failure) {
      Stop(failure.what(), GetMessageText("uUpdate_Recover_3", server.ServiceName));
    }
    Done(journal::kServiceStarted, "service");
  }

  // The client as it was before the run, from the complete backup, unless
  // the replacement completed and no rollback began: then the new one stays.
  void FinishReplacement() {
    const bool replacementLeft = state_.HasAfter(journal::kReplacementBegun, journal::kClientReplaced);
    const bool rollbackLeft = state_.HasAfter(journal::kRollbackBegun, journal::kRollbackComplete);
    if (!replacementLeft && !rollbackLeft) return;
    const std::string oldDir = state_.Detail(journal::kBackupComplete, "path");
    if (oldDir.empty() || !sys::FileExists(Join(oldDir, kBackupCompleteMarker))) {
      Stop(GetMessageText("uUpdate_MyCopyDir_1", sys::IncludeTrailingPathDelimiter(oldDir)), Folder());
    }
    const std::string workFolder = state_.Detail(journal::kWorkingFolder, "path");
    Log(GetMessageText("uUpdate_Recover_4", sys::IncludeTrailingPathDelimiter(oldDir)));
    std::vector<std::string> left;
    const auto restore = [&](const char* part) {
      const PartRestore result = RestorePart(Join(Folder(), part), Join(oldDir, part), workFolder);
      left.insert(left.end(), result.notRestored.begin(), result.notRestored.end());
    };
    if (state_.Start("clientFound") == "yes") restore("Program");
    if (rollbackLeft && state_.Start("serverFound") == "yes") restore("DB_Data");
    // The new client's copy of the killed run, if it was still being written.
    const std::string leftover =
        Join(Join(Folder(), "Program"), state_.Start("client") + ".tmp-" + state_.Start("pid"));
    if (sys::FileExists(leftover)) sys::DeleteFileAt(leftover);
    if (!left.empty()) {
      std::string list;
      for (const std::string& path : left) list += "\r\n" + path;
      Stop(GetMessageText("uUpdate_UpdateProgramm_47") + list,
           GetMessageText("uUpdate_UpdateProgramm_54", sys::IncludeTrailingPathDelimiter(oldDir)));
    }
    Done(journal::kRollbackComplete, "client");
  }

  void BringDatabaseOnline() {
    if (state_.Start("serverFound") != "yes" || !state_.HasAfter(journal::kDatabaseShutdown, journal::kDatabaseOnline))
      return;
    Log(GetMessageText("uUpdate_UpdateProgramm_48"));
    try {
      firebird::DatabaseOnLine(settings_.profile.ClientLibrary, state_.Start("database"), "SYSDBA", password_);
    } catch (const std::exception& failure) {
      if (std::string(failure.what()).find(kAlreadyInMode) == std::string::npos) {
        Stop(FailureTextWithCause(failure), GetMessageText("uUpdate_UpdateProgramm_50"));
      }
    }
    if (settings_.onDatabaseOnline) settings_.onDatabaseOnline();
    Done(journal::kDatabaseOnline, "database");
    Log(GetMessageText("uUpdate_UpdateProgramm_49"));
  }

  IUpdateHost& host_;
  const UpdateSettings& settings_;
  const std::string password_;
  JournalState state_;
  RunJournal journal_;
};

}  // namespace

// The journal's record names are for the file; the operator reads the step
// in words of the language. A name this version does not know (a journal of
// a newer one) is shown as it stands.
std::string JournalEventText(const std::string& event) {
  static const char* const kEvents[][2] = {
      {journal::kRunStarted, "uUpdate_Recover_8"},        {journal::kDatabaseShutdown, "uUpdate_Recover_9"},
      {journal::kServiceStop, "uUpdate_Recover_10"},      {journal::kServiceStarted, "uUpdate_Recover_11"},
      {journal::kFolderRename, "uUpdate_Recover_12"},     {journal::kFolderRenamedBack, "uUpdate_Recover_13"},
      {journal::kWorkingFolder, "uUpdate_Recover_14"},    {journal::kBackupComplete, "uUpdate_Recover_15"},
      {journal::kReplacementBegun, "uUpdate_Recover_16"}, {journal::kClientReplaced, "uUpdate_Recover_17"},
      {journal::kRollbackBegun, "uUpdate_Recover_18"},    {journal::kRollbackComplete, "uUpdate_Recover_19"},
      {journal::kDatabaseOnline, "uUpdate_Recover_20"},   {journal::kRecoveryStep, "uUpdate_Recover_21"},
  };
  for (const auto& [name, id] : kEvents)
    if (event == name) return GetMessageText(id);
  return event;
}

std::string DescribeInterruptedRun(const JournalState& state) {
  return GetMessageText("uUpdate_Recover_1", state.Start("folder"), state.records.front().details.count("time")
                                                                         ? state.records.front().details.at("time")
                                                                         : std::string(),
                        JournalEventText(state.LastEvent()));
}

void RecoverInterruptedRun(IUpdateHost& host, const UpdateSettings& settings, const std::string& sysdbaPassword) {
  std::optional<JournalState> state = ReadUnfinishedJournal(settings.stateFolder);
  if (!state) {
    host.SaveExceptionToLog(GetMessageText("uUpdate_Recover_7"));
    return;
  }
  Recovery(host, settings, sysdbaPassword, std::move(*state)).Run();
}

}  // namespace tarnvel
