#include "update/preflight_check.h"

#include <algorithm>
#include <stdexcept>

#include "firebird/db_services.h"
#include "firebird/header_mode.h"
#include "i18n/ldm.h"
#include "sysroutines/ascii_case.h"
#include "sysroutines/directory_reader.h"
#include "sysroutines/disk_space.h"
#include "sysroutines/drive_type.h"
#include "sysroutines/file_system.h"
#include "sysroutines/folder_holders.h"
#include "sysroutines/folder_probe.h"
#include "sysroutines/lock_test.h"
#include "sysroutines/paths.h"
#include "sysroutines/service_control.h"
#include "sysroutines/sha256.h"
#include "update/folder_ops.h"
#include "update/recovery.h"
#include "update/run_journal.h"
#include "update/run_rights.h"
#include "update/server_advice.h"
#include "update/system_reason.h"
#include "update/update_context.h"

namespace tarnvel {
namespace {

using i18n::GetMessageText;

constexpr const char* kSysdba = "SYSDBA";
// An operator reads a handful of leftovers; more are said as a number.
constexpr std::size_t kMaxListedBackups = 5;

std::string Join(const std::string& folder, const std::string& name) {
  return sys::IncludeTrailingPathDelimiter(folder) + name;
}

std::string Megabytes(std::uint64_t bytes) {
  return std::to_string(bytes >> 20);
}

// Passes everything on to the caller's host, except that a log entry that
// cannot be written is remembered instead of ending the check.
class TolerantHost : public IUpdateHost {
 public:
  explicit TolerantHost(IUpdateHost& host) : host_(host) {}

  void SaveExceptionToLog(const std::string& text) override {
    try {
      host_.SaveExceptionToLog(text);
    } catch (const std::exception& failure) {
      if (logFailure_.empty()) logFailure_ = failure.what();
    }
  }
  void ProcessMessages() override { host_.ProcessMessages(); }
  DialogButton ShowDialog(const DialogRequest& request) override { return host_.ShowDialog(request); }
  void SetStatusCaption(const std::string& text) override { host_.SetStatusCaption(text); }
  void SetRolledBack(bool rolledBack) override { host_.SetRolledBack(rolledBack); }
  bool RolledBack() const override { return host_.RolledBack(); }

  const std::string& LogFailure() const { return logFailure_; }

 private:
  IUpdateHost& host_;
  std::string logFailure_;
};

class Check {
 public:
  Check(IUpdateHost& host, const UpdateSettings& settings, const CheckSurroundings& surroundings)
      : host_(host), settings_(settings), surroundings_(surroundings), profile_(settings.profile) {}

  std::vector<CheckFinding> Run(const std::string& location, const std::string& sysdbaPassword,
                                const std::string& admnPassword, const std::string& projectKey) {
    host_.SaveExceptionToLog(GetMessageText("uUpdate_PreflightCheck_1", location));
    Rights();
    const bool found = Parts(location, projectKey);
    if (found) {
      AdmnRule(admnPassword, projectKey);
      if (context().ServerFound && Server()) {
        Users(sysdbaPassword);
        DatabaseMode(sysdbaPassword);
      }
      Space();
      Holders();
    }
    Leftovers(found);
    Payload();
    Log();
    host_.SaveExceptionToLog(CheckSummary(findings_));
    host_.ProcessMessages();
    return findings_;
  }

 private:
  static const UpdateContext& context() { return CurrentUpdateContext(); }

  void Add(const char* topic, CheckVerdict verdict, const std::string& text) {
    findings_.push_back({topic, verdict, text});
    host_.SaveExceptionToLog(CheckVerdictText(verdict) + ": " + text);
    host_.ProcessMessages();
  }

  void Rights() {
    const std::string refusal = RunRightsFinding(surroundings_.missingRunRights);
    if (refusal.empty()) {
      Add("rights", CheckVerdict::Ok, GetMessageText("uUpdate_PreflightCheck_5"));
    } else {
      Add("rights", CheckVerdict::Blocks, refusal);
    }
  }

  // The update's own detection; false when there is no product to look at.
  bool Parts(const std::string& location, const std::string& projectKey) {
    try {
      UpdateInit(host_, {profile_.ConnectionPrefix, profile_.DatabaseFileName, profile_.ClientExeName}, location);
    } catch (const std::exception& failure) {
      Add("parts", CheckVerdict::Blocks, failure.what());
      return false;
    }
    const char* parts = context().ClientFound && context().ServerFound ? "uUpdate_UpdateProgramm_1"
                        : context().ClientFound                        ? "uUpdate_UpdateProgramm_2"
                        : context().ServerFound                        ? "uUpdate_UpdateProgramm_3"
                                                                       : nullptr;
    if (parts == nullptr) {
      Add("parts", CheckVerdict::Blocks, GetMessageText("uUpdate_UpdateProgramm_4", location, projectKey));
      return false;
    }
    Add("parts", CheckVerdict::Ok, GetMessageText("uUpdate_PreflightCheck_6", context().RootDir, GetMessageText(parts)));
    return true;
  }

  void AdmnRule(const std::string& admnPassword, const std::string& projectKey) {
    if (projectKey == "Tarnvel" && context().ServerFound && admnPassword.empty()) {
      Add("admn", CheckVerdict::Blocks, GetMessageText("uUpdate_UpdateProgramm_7"));
    } else {
      Add("admn", CheckVerdict::Ok, GetMessageText("uUpdate_PreflightCheck_7"));
    }
  }

  // False when the server cannot be asked anything.
  bool Server() {
    const firebird::TFBServParams& server = settings_.ServerParams;
    if (server.ServerType.empty() || server.ServiceName.empty()) {
      Add("server", CheckVerdict::Blocks, GetMessageText("uUpdate_PreflightCheck_10"));
      return false;
    }
    const bool running = surroundings_.serviceState &&
                         surroundings_.serviceState(server.ServiceName) == sys::kServiceRunning;
    Add("server", running ? CheckVerdict::Ok : CheckVerdict::Blocks,
        GetMessageText(running ? "uUpdate_PreflightCheck_8" : "uUpdate_PreflightCheck_9", server.ServerType,
                       server.ServiceName, server.ServerPrefix));
    return running;
  }

  void Users(const std::string& sysdbaPassword) {
    const std::string& type = settings_.ServerParams.ServerType;
    if (type != "SUPER") {
      Add("users", CheckVerdict::Warning, GetMessageText("uUpdate_PreflightCheck_13", type));
      return;
    }
    std::vector<std::string> users;
    try {
      firebird::GetAttachedUsers(profile_.ClientLibrary, context().DatabaseName, kSysdba, sysdbaPassword, "", users);
    } catch (const std::exception& failure) {
      Add("users", CheckVerdict::Blocks, GetMessageText("uUpdate_PreflightCheck_16", FailureTextWithCause(failure)));
      return;
    }
    if (users.empty()) {
      Add("users", CheckVerdict::Ok, GetMessageText("uUpdate_PreflightCheck_11"));
      return;
    }
    std::string names;
    for (const std::string& user : users) names += (names.empty() ? "" : "; ") + user;
    Add("users", CheckVerdict::Warning,
        GetMessageText("uUpdate_PreflightCheck_12", std::to_string(users.size()), names));
  }

  void DatabaseMode(const std::string& sysdbaPassword) {
    try {
      const firebird::HeaderMode mode = firebird::ParseHeaderMode(
          firebird::DatabaseHeaderText(profile_.ClientLibrary, context().DatabaseName, kSysdba, sysdbaPassword));
      if (mode.shutDown) {
        Add("database", CheckVerdict::Blocks, GetMessageText("uUpdate_PreflightCheck_15", mode.attributes));
      } else {
        Add("database", CheckVerdict::Ok, GetMessageText("uUpdate_PreflightCheck_14", mode.attributes));
      }
    } catch (const std::exception& failure) {
      Add("database", CheckVerdict::Blocks,
          GetMessageText("uUpdate_PreflightCheck_16", FailureTextWithCause(failure)));
    }
  }

  void Space() {
    // The free-space check of the run itself, with its own rounding: whole
    // megabytes, the database's size times the factor.
    if (context().ServerFound) {
      const std::string database = Join(context().DBDataDir, profile_.DatabaseFileName);
      const std::string volume = sys::DriveRootOf(context().DBDataDir);
      const std::optional<std::uint64_t> size = sys::FileSizeOf(database);
      const std::optional<std::uint64_t> free = sys::TotalFreeBytes(volume);
      if (!size || !free) {
        Add("space", CheckVerdict::Blocks, GetMessageText("uUpdate_PreflightCheck_20", size ? volume : database));
      } else {
        const std::uint64_t required = (*size >> 20) * profile_.FreeSpaceFactor;
        Add("space", (*free >> 20) < required ? CheckVerdict::Blocks : CheckVerdict::Ok,
            GetMessageText("uUpdate_PreflightCheck_17", volume, Megabytes(*free), std::to_string(required),
                           std::to_string(profile_.FreeSpaceFactor), Megabytes(*size)));
      }
    }
    // The backup copies the installed parts beside them, in the product folder.
    std::uint64_t backup = 0;
    if (context().ClientFound) backup += TreeBytes(context().ProgramDir);
    if (context().ServerFound) backup += TreeBytes(context().DBDataDir);
    const std::string volume = sys::DriveRootOf(context().RootDir);
    if (sys::VolumeSharesCopiedBlocks(context().RootDir)) {
      Add("backup-space", CheckVerdict::Ok, GetMessageText("uUpdate_PreflightCheck_19", volume, Megabytes(backup)));
      return;
    }
    const std::optional<std::uint64_t> free = sys::TotalFreeBytes(context().RootDir);
    if (!free) {
      Add("backup-space", CheckVerdict::Blocks, GetMessageText("uUpdate_PreflightCheck_20", volume));
      return;
    }
    // Rounded up: a backup a few bytes too big for the volume fails all the same.
    const std::uint64_t neededMegabytes = (backup + (1u << 20) - 1) >> 20;
    Add("backup-space", *free < backup ? CheckVerdict::Blocks : CheckVerdict::Ok,
        GetMessageText("uUpdate_PreflightCheck_18", std::to_string(neededMegabytes), volume, Megabytes(*free)));
  }

  // The Firebird server holds an online database open; the run's shutdown
  // of the database and its service restart release it before the folder
  // is tested, so only other programs stand in the way.
  bool IsFirebirdServer(const std::string& programName) const {
    std::string name = sys::LowerAscii(programName);
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".exe") == 0) name.resize(name.size() - 4);
    std::string own = sys::LowerAscii(settings_.ServerParams.ServerExe);
    if (own.size() > 4 && own.compare(own.size() - 4, 4, ".exe") == 0) own.resize(own.size() - 4);
    for (const char* server : {"firebird", "fbserver", "fbguard", "fb_inet_server", "fb_smp_server"}) {
      if (name == server) return true;
    }
    return !own.empty() && name == own;
  }

  void Holders() {
    std::vector<sys::FolderHolder> holders = sys::FindFolderHolders(context().RootDir);
    std::sort(holders.begin(), holders.end(), [](const auto& a, const auto& b) { return a.pid < b.pid; });
    std::string others, servers;
    for (const sys::FolderHolder& holder : holders) {
      std::string& list = context().ServerFound && IsFirebirdServer(holder.programName) ? servers : others;
      list += (list.empty() ? "" : "; ") + holder.programName + " (PID " + std::to_string(holder.pid) + ")";
    }
    if (!others.empty()) {
      Add("holders", CheckVerdict::Blocks, GetMessageText("uUpdate_PreflightCheck_22", others));
    } else if (!servers.empty()) {
      Add("holders", CheckVerdict::Ok, GetMessageText("uUpdate_PreflightCheck_35", servers));
    } else {
      Add("holders", CheckVerdict::Ok, GetMessageText("uUpdate_PreflightCheck_21"));
    }
  }

  // What an update that ended half way left: the product folder under the
  // lock test's name, its journal, backups whose copy never ended.
  void Leftovers(bool productFound) {
    const std::size_t before = findings_.size();
    const std::string root = context().RootDir;
    // A drive root has no lock-test name of its own (it is never renamed).
    const std::string renamed = root.empty() || sys::IsFileSystemRoot(root) ? std::string() : sys::LockTestName(root);
    if (!renamed.empty() && sys::GetFileAttributesOf(renamed)) {
      Add("leftovers", CheckVerdict::Blocks, GetMessageText("uUpdate_PreflightCheck_24", renamed));
    }
    if (!settings_.stateFolder.empty()) {
      if (const std::optional<JournalState> interrupted = ReadUnfinishedJournal(settings_.stateFolder)) {
        Add("leftovers", CheckVerdict::Blocks,
            GetMessageText("uUpdate_PreflightCheck_25", DescribeInterruptedRun(*interrupted)));
      }
    }
    if (productFound) IncompleteBackups();
    if (findings_.size() == before) {
      Add("leftovers", CheckVerdict::Ok, GetMessageText("uUpdate_PreflightCheck_23", renamed.empty() ? "-" : renamed));
    }
  }

  void IncompleteBackups() {
    std::vector<std::string> incomplete;
    sys::DirectoryReader reader(context().RootDir);
    while (const auto entry = reader.Next()) {
      if (entry->name.rfind("Tmp$", 0) != 0 || (entry->attributes & sys::kAttrLink) != 0 ||
          (entry->attributes & sys::kAttrDirectory) == 0) {
        continue;
      }
      const std::string old = Join(Join(context().RootDir, entry->name), "Old");
      if (sys::DirectoryExists(old) && !sys::FileExists(Join(old, kBackupCompleteMarker))) incomplete.push_back(old);
    }
    std::sort(incomplete.begin(), incomplete.end());
    for (std::size_t i = 0; i < incomplete.size() && i < kMaxListedBackups; ++i) {
      Add("leftovers", CheckVerdict::Warning, GetMessageText("uUpdate_PreflightCheck_26", incomplete[i]));
    }
    if (incomplete.size() > kMaxListedBackups) {
      Add("leftovers", CheckVerdict::Warning,
          GetMessageText("uUpdate_PreflightCheck_34", std::to_string(incomplete.size() - kMaxListedBackups)));
    }
  }

  void Payload() {
    const auto find = [this](std::string_view type, std::string_view name) -> std::optional<std::string_view> {
      if (!surroundings_.findResource) return std::nullopt;
      return surroundings_.findResource(type, name);
    };
    const std::optional<std::string_view> payload = find("EXEFILE", "FILES");
    if (!payload || payload->empty()) {
      Add("payload", CheckVerdict::Blocks, GetMessageText("uUpdate_PreflightCheck_28"));
      return;
    }
    const std::string actual = sys::ToHex(sys::Sha256Of(*payload));
    const std::optional<std::string_view> recordedHex = find("SHA256", "FILES");
    const std::optional<sys::Sha256Digest> recorded =
        recordedHex ? sys::Sha256FromHex(*recordedHex) : std::nullopt;
    if (!recorded || sys::ToHex(*recorded) != actual) {
      Add("payload", CheckVerdict::Blocks,
          GetMessageText("uUpdate_PreflightCheck_29", actual, recorded ? sys::ToHex(*recorded) : "-"));
      return;
    }
    Add("payload", CheckVerdict::Ok, GetMessageText("uUpdate_PreflightCheck_27", std::to_string(payload->size()), actual));
  }

  void Log() {
    const std::string& folder = surroundings_.logFolder;
    const sys::SysResult probe = sys::CanCreateFileIn(folder);
    if (!probe) {
      const std::string reason = SystemReasonText(probe);
      Add("log", CheckVerdict::Blocks, GetMessageText("uUpdate_PreflightCheck_31", folder, reason.empty() ? "?" : reason));
    } else if (!host_.LogFailure().empty()) {
      Add("log", CheckVerdict::Blocks, GetMessageText("uUpdate_PreflightCheck_31", folder, host_.LogFailure()));
    } else {
      Add("log", CheckVerdict::Ok, GetMessageText("uUpdate_PreflightCheck_30", folder));
    }
  }

  TolerantHost host_;
  const UpdateSettings& settings_;
  const CheckSurroundings& surroundings_;
  const ProjectProfile& profile_;
  std::vector<CheckFinding> findings_;
};

}  // namespace

std::string CheckVerdictText(CheckVerdict verdict) {
  switch (verdict) {
    case CheckVerdict::Ok: return GetMessageText("uUpdate_PreflightCheck_2");
    case CheckVerdict::Warning: return GetMessageText("uUpdate_PreflightCheck_3");
    case CheckVerdict::Blocks: break;
  }
  return GetMessageText("uUpdate_PreflightCheck_4");
}

const char* CheckVerdictName(CheckVerdict verdict) {
  switch (verdict) {
    case CheckVerdict::Ok: return "ok";
    case CheckVerdict::Warning: return "warning";
    case CheckVerdict::Blocks: break;
  }
  return "blocks";
}

std::vector<CheckFinding> PreflightCheck(IUpdateHost& host, const UpdateSettings& settings,
                                         const CheckSurroundings& surroundings,
                                         const std::string& ProgramLocation, const std::string& SysdbaPassword,
                                         const std::string& AdmnPassword, const std::string& ProjectKey) {
  return Check(host, settings, surroundings).Run(ProgramLocation, SysdbaPassword, AdmnPassword, ProjectKey);
}

std::string CheckSummary(const std::vector<CheckFinding>& findings) {
  const auto blocking = std::count_if(findings.begin(), findings.end(),
                                      [](const CheckFinding& f) { return f.verdict == CheckVerdict::Blocks; });
  return blocking == 0 ? GetMessageText("uUpdate_PreflightCheck_32")
                       : GetMessageText("uUpdate_PreflightCheck_33", std::to_string(blocking));
}

bool CheckBlocks(const std::vector<CheckFinding>& findings) {
  return std::any_of(findings.begin(), findings.end(),
                     [](const CheckFinding& f) { return f.verdict == CheckVerdict::Blocks; });
}

}  // namespace tarnvel
