#include "update/db_mode_commands.h"

#include <functional>
#include <stdexcept>

#include "firebird/db_services.h"
#include "i18n/ldm.h"
#include "update/server_advice.h"
#include "update/update_context.h"

namespace tarnvel {
namespace {

using i18n::GetMessageText;

// The server's own words for a database that is already in the asked mode.
const char* const kAlreadyInMode = "Target shutdown mode is invalid for database";

struct ModeCommand {
  const char* unit;  // message identifiers are unit + "_1" .. "_6"
  std::function<void(const UpdateSettings&, const std::string& databaseName, const std::string& password)>
      switchMode;
};

void RunModeCommand(IUpdateHost& host, const UpdateSettings& settings, const std::string& programLocation,
                    const std::string& sysdbaPassword, const ModeCommand& command) {
  const auto text = [&](int number) {
    return GetMessageText(std::string(command.unit) + "_" + std::to_string(number));
  };
  const auto log = [&](int number) {
    host.SaveExceptionToLog(text(number));
    host.ProcessMessages();
  };
  const ProjectProfile& profile = settings.profile;
  UpdateInit(host, {profile.ConnectionPrefix, profile.DatabaseFileName, profile.ClientExeName},
             programLocation);
  log(1);
  const UpdateContext& context = CurrentUpdateContext();
  if (!context.ServerFound) throw std::runtime_error(text(2));
  try {
    command.switchMode(settings, context.DatabaseName, sysdbaPassword);
    log(3);
    MessageDlg(host, text(4), DialogType::Information, {DialogButton::Ok}, DialogButton::Ok);
  } catch (const std::exception& failure) {
    host.ProcessMessages();
    if (std::string(failure.what()).find(kAlreadyInMode) == std::string::npos) {
      throw std::runtime_error(FailureTextWithCause(failure));
    }
    log(5);
    MessageDlg(host, text(6), DialogType::Warning, {DialogButton::Ok}, DialogButton::Ok);
  }
}

}  // namespace

void UpdateOnLine(IUpdateHost& host, const UpdateSettings& settings, const std::string& ProgramLocation,
                  const std::string& SysdbaPassword) {
  RunModeCommand(
      host, settings, ProgramLocation, SysdbaPassword,
      {"uUpdate_UpdateOnLine", [](const UpdateSettings& s, const std::string& db, const std::string& pw) {
         firebird::DatabaseOnLine(s.profile.ClientLibrary, db, "SYSDBA", pw);
       }});
}

void UpdateShutdown(IUpdateHost& host, const UpdateSettings& settings, const std::string& ProgramLocation,
                    const std::string& SysdbaPassword) {
  RunModeCommand(
      host, settings, ProgramLocation, SysdbaPassword,
      {"uUpdate_UpdateShutdown", [](const UpdateSettings& s, const std::string& db, const std::string& pw) {
         firebird::DatabaseShutdown(s.profile.ClientLibrary, db, "SYSDBA", pw, s.shutdownPause);
       }});
}

}  // namespace tarnvel
