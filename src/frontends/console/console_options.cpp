#include "frontends/console/console_options.h"

#include <stdexcept>

namespace tarnvel::console {
namespace {

struct CommandEntry {
  const char* name;
  Command command;
};

constexpr CommandEntry kCommands[] = {{"update", Command::Update},
                                      {"online", Command::Online},
                                      {"shutdown", Command::Shutdown},
                                      {"start-service", Command::StartService},
                                      {"stop-service", Command::StopService},
                                      {"recover", Command::Recover},
                                      {"check", Command::Check}};

bool LooksLikeSysdbaPassword(const std::string& name) {
  return name == "--password" || name == "-p" || name == "--sysdba-password" || name == "--sysdba";
}

}  // namespace

std::string CommandName(Command command) {
  for (const CommandEntry& entry : kCommands) {
    if (entry.command == command) return entry.name;
  }
  return "update";
}

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args) {
  ParsedCommandLine parsed;
  ConsoleOptions& options = parsed.options;
  bool commandSeen = false;
  auto fail = [&parsed](const std::string& text) {
    parsed.error = text;
    return parsed;
  };

  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    std::optional<std::string> inlineValue;
    if (name.rfind("--", 0) == 0) {
      const std::size_t equals = name.find('=');
      if (equals != std::string::npos) {
        inlineValue = name.substr(equals + 1);
        name.resize(equals);
      }
    }
    // The value of an option that takes one: inline or the next argument.
    auto value = [&](std::optional<std::string>& target) -> bool {
      if (inlineValue) {
        target = *inlineValue;
      } else if (i + 1 < args.size()) {
        target = args[++i];
      } else {
        return false;
      }
      return true;
    };

    if (name == "--help" || name == "-h") {
      options.help = true;
    } else if (name == "--version") {
      if (inlineValue) return fail("The option --version takes no value.");
      options.version = true;
    } else if (name == "--yes" || name == "-y") {
      if (inlineValue) return fail("The option --yes takes no value.");
      options.yes = true;
    } else if (name == "--folder" || name == "-f") {
      if (!value(options.folder)) return fail("The option " + name + " needs a folder.");
      if (options.folder->empty()) return fail("The product folder must not be empty.");
    } else if (name == "--admn-password") {
      if (!value(options.admnPassword)) return fail("The option --admn-password needs a value.");
    } else if (name == "--sysdba-password-env") {
      if (!value(options.sysdbaPasswordVariable) || options.sysdbaPasswordVariable->empty())
        return fail("The option --sysdba-password-env needs the name of an environment variable.");
    } else if (name == "--sysdba-password-file") {
      if (!value(options.sysdbaPasswordFile) || options.sysdbaPasswordFile->empty())
        return fail("The option --sysdba-password-file needs a file.");
    } else if (name == "--report") {
      if (!value(options.reportFile) || options.reportFile->empty())
        return fail("The option --report needs a file.");
    } else if (LooksLikeSysdbaPassword(name)) {
      return fail(
          "The SYSDBA password is not taken from the command line, where process lists show it: use "
          "--sysdba-password-file, --sysdba-password-env or the variable " +
          std::string(kSysdbaPasswordVariable) + ".");
    } else if (!name.empty() && name[0] == '-') {
      return fail("Unknown option " + name + ".");
    } else {
      if (commandSeen) return fail("Only one command at a time: " + name + " follows another.");
      bool known = false;
      for (const CommandEntry& entry : kCommands) {
        if (name == entry.name) {
          options.command = entry.command;
          known = true;
        }
      }
      if (!known) return fail("Unknown command \"" + name + "\".");
      commandSeen = true;
    }
  }
  return parsed;
}

std::string ResolveSysdbaPassword(const ConsoleOptions& options, const PasswordSources& sources,
                                  const std::string& preset) {
  if (options.sysdbaPasswordFile) {
    const std::string& file = *options.sysdbaPasswordFile;
    std::string content;
    if (const sys::SysResult read = sources.readFile(file, content); !read) {
      if (sys::KindOfSystemError(read.ErrorCode()) == sys::SystemErrorKind::IsAFolder)
        throw std::invalid_argument("The password file " + file + " is a folder, not a file.");
      throw std::invalid_argument("Cannot read the password file " + file + ": " +
                                  sys::SystemErrorText(read.ErrorCode()) + ".");
    }
    std::string line = content.substr(0, content.find_first_of("\r\n"));
    if (line.empty()) throw std::invalid_argument("The password file " + file + " is empty.");
    return line;
  }
  if (options.sysdbaPasswordVariable) {
    const std::optional<std::string> value = sources.environment(*options.sysdbaPasswordVariable);
    if (!value || value->empty())
      throw std::invalid_argument("The environment variable " + *options.sysdbaPasswordVariable +
                                  " holds no password.");
    return *value;
  }
  if (const std::optional<std::string> value = sources.environment(kSysdbaPasswordVariable);
      value && !value->empty()) {
    return *value;
  }
  if (sources.prompt) {
    const std::optional<std::string> typed = sources.prompt();
    if (typed && !typed->empty()) return *typed;
  }
  return preset;
}

std::string HelpText(const std::string& programName) {
  return "Usage: " + programName +
         " [COMMAND] [OPTIONS]\n"
         R"(
Updates the installed TarnVel product without a window: the same run, texts
and log file as the window, with the answers given up front.

Commands (one; default: update):
  update          the update of the product (the window's Start button)
  online          bring the product's database online
  shutdown        shut the product's database down (single-user mode)
  start-service   (re)start the Firebird server's service
  stop-service    stop the Firebird server's service
  recover         finish or undo what an interrupted update left (see below)
  check           find out what an update would meet, changing nothing (see below)

Options:
  -f, --folder DIR              the product folder (default: the window's preset)
      --admn-password VALUE     the product's ADMN password (default: the preset)
      --sysdba-password-file F  read the SYSDBA password from the first line of F
      --sysdba-password-env V   read the SYSDBA password from the variable V
  -y, --yes                     answer every confirmation question with Yes
      --report FILE             write a JSON report of the run to FILE, also when
                                the run fails: a new file in an existing folder
                                outside the product folder, or an earlier report
  -h, --help                    this text
      --version                 the program's version

The SYSDBA password is never taken from the command line. Without the two
options above it comes from the variable TARNVEL_SYSDBA_PASSWORD, else from a
prompt without echo on a terminal (Enter keeps the preset), else the preset.
Once read, the variable is taken out of the environment: no program the run
starts (the payload included) inherits it.

Questions: with --yes each is answered Yes. Without --yes, on a terminal each
is asked with its usual default (Enter); without a terminal each is answered
No, which ends the run before anything changes. Boxes with only OK are printed
on standard error and the run goes on.

Standard output carries the run log as the window shows it (time stamp, then
TAB for each further line of an entry); the log file beside the program gets
the same entries. Progress of long copies goes to standard error.

Every command needs the rights to change the product, its database and the
server: on Linux root (user id 0 with CAP_CHOWN, CAP_DAC_OVERRIDE, CAP_FOWNER
and CAP_KILL), on Windows an elevated prompt ("Run as administrator"; this
program does not ask for elevation itself). Without them it is refused with
exit code 1, naming what is missing, before it touches anything.

Only one updater works on a machine at a time: a second one is refused
(exit code 5) with the one at work named. An update that was interrupted (the
program killed, the machine switched off) leaves a journal; until `recover`
has dealt with it, update, online and shutdown are refused (exit code 4).

`check` runs what an update reads before it changes anything and reports,
without shutting down, stopping or writing anything in the product: the rights,
the parts found and the ADMN password rule, the server and whether its service
runs, the attached users, the database's mode, the free space for the
free-space check and for the backup, programs that hold the product folder
open, what an interrupted update left, the new client this program carries
and whether the log folder takes files. Each finding is "ok", "warning" or
"blocks the update"; standard output carries them as a table, --report as
JSON. Exit code 0 when nothing blocks an update, 5 when something would, 1
when the check itself failed. It does not need root; without it, the rights
finding says that an update would be refused.

Exit codes:
  0   success
  1   failed before anything changed (or a command failed); also: the
      program lacks the rights every command needs
  2   declined: a question was answered No; nothing changed
  3   failed and rolled back: the product is as it was
  4   failed and left work for the operator: the database shut down, the
      service stopped, or a rollback that did not complete
  5   another updater is at work on this machine; nothing was touched;
      for check: something would block an update
  6   the report (--report) could not be written (a full disk, or something
      other than a report came to stand in its place during the run); it is
      said before the outcome line, which says how the run itself ended (6
      stands for 0 to 3)
  64  usage error: nothing was touched (also a --report path inside the
      product folder or the updater's state folder, links and .. resolved, in
      a folder that does not exist, or naming something other than a report
      of this program: a folder, a link, a pipe or device, another file)
)";
}

std::string VersionText(const std::string& programName) {
  return programName + " " + TARNVEL_PRODUCT_VERSION + "\n";
}

}  // namespace tarnvel::console
