#pragma once
// The console program's command line: one command and its options. The
// SYSDBA password never comes from the command line (process lists show it).

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "sysroutines/system_error.h"

namespace tarnvel::console {

enum class Command { Update, Online, Shutdown, StartService, StopService, Recover, Check };

/// The environment variable read for the SYSDBA password when no other
/// source is named.
inline constexpr const char* kSysdbaPasswordVariable = "TARNVEL_SYSDBA_PASSWORD";

struct ConsoleOptions {
  Command command = Command::Update;
  std::optional<std::string> folder;
  std::optional<std::string> admnPassword;
  std::optional<std::string> sysdbaPasswordVariable;
  std::optional<std::string> sysdbaPasswordFile;
  std::optional<std::string> reportFile;
  bool yes = false;
  bool help = false;
  bool version = false;
};

struct ParsedCommandLine {
  ConsoleOptions options;
  /// Empty when the command line is sound; else what is wrong with it.
  std::string error;
};

/// Parses the arguments after the program name. "--name value" and
/// "--name=value" are both accepted.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args);

/// The command's name as typed ("update", "online", ...).
std::string CommandName(Command command);

/// The text of --help; ProgramName is the executable's name.
std::string HelpText(const std::string& programName);

/// The text of --version: ProgramName, a blank, the product version (the
/// one the build gives the version resource and the packages) and a line end.
std::string VersionText(const std::string& programName);

/// Where the SYSDBA password comes from, in this order: the file named by
/// --sysdba-password-file (its first line), the variable named by
/// --sysdba-password-env, the variable TARNVEL_SYSDBA_PASSWORD when set, a
/// prompt without echo when Prompt is given (a terminal; an empty answer
/// keeps the preset), else the preset.
struct PasswordSources {
  std::function<std::optional<std::string>(const std::string& name)> environment;
  /// Reads the whole file; a failure says why (a folder: IsAFolderError()).
  std::function<sys::SysResult(const std::string& path, std::string& content)> readFile;
  /// Null when there is no terminal to ask on.
  std::function<std::optional<std::string>()> prompt;
};

/// The password; throws std::invalid_argument when a named source is missing
/// or empty (a usage error: nothing has been touched).
std::string ResolveSysdbaPassword(const ConsoleOptions& options, const PasswordSources& sources,
                                  const std::string& preset);

}  // namespace tarnvel::console
