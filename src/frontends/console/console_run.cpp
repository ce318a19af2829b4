#include "frontends/console/console_run.h"

#include <cstdio>

#include <stdexcept>
#include <thread>

#include "app/exception_report.h"
#include "app/profile.h"
#include "app/run_log.h"
#include "frontends/console/console_check_table.h"
#include "frontends/console/console_host.h"
#include "frontends/console/console_options.h"
#include "frontends/console/console_outcome.h"
#include "frontends/console/console_report.h"
#include "frontends/console/console_report_place.h"
#include "i18n/ldm.h"
#include "sysroutines/file_system.h"
#include "sysroutines/paths.h"
#include "sysroutines/read_whole_file.h"
#include "sysroutines/report_file.h"
#include "sysroutines/run_lock.h"
#include "sysroutines/service_control.h"
#include "sysroutines/terminal.h"
#include "update/recovery.h"
#include "update/run_journal.h"
#include "update/preflight_check.h"
#include "update/run_rights.h"
#include "update/update_context.h"

namespace tarnvel::console {
namespace {

using i18n::GetMessageText;

// What the engine did to the server during an update, seen through the
// pauses it makes right after a shutdown and after a service stop, and its
// word that the database is online again.
struct ServerTrace {
  bool databaseShutDown = false;
  bool databaseBackOnline = false;
  bool serviceStopped = false;
  // The operator's downtime: from the shutdown (its pause follows the
  // request at once) to the online call's return.
  std::chrono::steady_clock::time_point shutDownAt, onlineAt;
};

firebird::Pause Traced(firebird::Pause pause, bool& flag,
                       std::chrono::steady_clock::time_point* firstAt = nullptr) {
  if (!pause) pause = firebird::SleepPause;
  return [pause, &flag, firstAt](std::chrono::milliseconds duration) {
    if (!flag && firstAt != nullptr) *firstAt = std::chrono::steady_clock::now();
    flag = true;
    pause(duration);
  };
}

// The folders a report never lies in: the product under both its names,
// that of an interrupted run which the recovery will work on, and the
// updater's own state, whose journal the recovery reads.
std::vector<GuardedFolder> ReportGuards(const std::string& productFolder, const std::string& stateFolder) {
  std::vector<GuardedFolder> guarded = ProductFolders(productFolder);
  if (const auto interrupted = ReadUnfinishedJournal(stateFolder)) {
    for (const GuardedFolder& folder : ProductFolders(interrupted->Start("folder")))
      guarded.push_back(folder);
  }
  guarded.push_back({stateFolder, "the updater's state folder"});
  return guarded;
}

}  // namespace

ConsoleEnvironment::ConsoleEnvironment()
    : inputIsTerminal(sys::IsTerminal(sys::StdStream::Input)),
      errorIsTerminal(sys::IsTerminal(sys::StdStream::Error)),
      environment(sys::EnvironmentVariable),
      removeEnvironment(sys::RemoveEnvironmentVariable),
      readFile(sys::ReadWholeFile),
      readPassword(sys::ReadLineWithoutEcho),
      serviceState([](const std::string& name) { return sys::GetServiceState("", name); }) {}

int RunConsole(const std::vector<std::string>& args, ConsoleEnvironment env) {
  std::ostream& out = *env.out;
  std::ostream& err = *env.err;
  const std::string programName = sys::PathToUtf8(sys::PathFromUtf8(env.form.executablePath).filename());

  const ParsedCommandLine parsed = ParseCommandLine(args);
  if (!parsed.error.empty()) {
    err << programName << ": " << parsed.error << "\nTry " << programName << " --help.\n";
    return ExitCode(Outcome::UsageError);
  }
  const ConsoleOptions& options = parsed.options;
  if (options.help) {
    out << HelpText(programName);
    return 0;
  }
  if (options.version) {
    out << VersionText(programName);
    return 0;
  }

  const InputPresets presets = TarnVelPresets();
  // A report never goes where it could destroy what it reports on. Its
  // folder is held from here on: the report is written there whatever
  // becomes of the path during the run.
  std::optional<sys::ReportFilePlace> reportPlace;
  std::vector<GuardedFolder> reportGuards;
  if (options.reportFile) {
    reportGuards = ReportGuards(options.folder.value_or(presets.ProgramLocation), sys::MachineStateFolder());
    reportPlace.emplace(*options.reportFile);
    const std::string problem = ReportPlaceProblem(*reportPlace, reportGuards);
    if (!problem.empty()) {
      err << programName << ": The report " << *options.reportFile << " " << problem
          << ": give a new file outside the product folder, or an earlier report of this program.\n";
      return ExitCode(Outcome::UsageError);
    }
  }
  std::string sysdbaPassword;
  try {
    PasswordSources sources{env.environment, env.readFile, nullptr};
    if (env.inputIsTerminal && env.readPassword) {
      // The prompt appears only once the echo is off, so that a password
      // typed right after it is neither shown nor lost.
      sources.prompt = [&] {
        return env.readPassword([&] {
          err << "SYSDBA password (Enter keeps the preset): ";
          err.flush();
        });
      };
    }
    sysdbaPassword = ResolveSysdbaPassword(options, sources, presets.Password);
  } catch (const std::invalid_argument& failure) {
    err << programName << ": " << failure.what() << "\n";
    return ExitCode(Outcome::UsageError);
  }
  // The payload runs as whoever runs the update, often root: it gets no
  // password it does not need.
  if (env.removeEnvironment) {
    env.removeEnvironment(kSysdbaPasswordVariable);
    if (options.sysdbaPasswordVariable) env.removeEnvironment(*options.sysdbaPasswordVariable);
  }

  RunReport report;
  report.command = CommandName(options.command);
  report.folder = options.folder.value_or(presets.ProgramLocation);
  report.started = IsoTime(sys::CurrentLocalDateTime());
  // The report first, then the outcome line, last of all: a report that
  // could not be written is said before it and changes the exit code.
  auto finish = [&](Outcome outcome) {
    report.outcome = outcome;
    int code = ExitCode(outcome);
    if (reportPlace) {
      const std::string problem = ReportPlaceProblem(*reportPlace, reportGuards);
      if (!problem.empty() || !WriteReportFile(*reportPlace, report)) {
        err << "The report " << *options.reportFile << " could not be written"
            << (problem.empty() ? "" : ": it " + problem) << ".\n";
        if (code < ExitCode(Outcome::OperatorMustAct)) code = kReportNotWrittenExitCode;
      }
    }
    // Where this run's backup is, and whether it may be trusted, so that
    // the operator need not read the report to find it.
    if (report.downtimeSeconds) {
      char seconds[32];
      std::snprintf(seconds, sizeof seconds, "%.1f", *report.downtimeSeconds);
      err << "The database was out of use for " << seconds << " s, from its shutdown to multi-user mode.\n";
    }
    if (!report.backupFolder.empty()) {
      err << "The backup of this run is in " << report.backupFolder
          << (report.backupComplete ? " (complete).\n" : " (incomplete: its copy did not end; never restore from it).\n");
    }
    err << OutcomeName(outcome) << " (exit code " << code << ")\n";
    return code;
  };

  // Every command changes the product, its database or its server: without
  // the rights for that the program stops here, before it takes the lock,
  // writes its log or touches anything.
  // A check changes nothing: it reports missing rights among its findings.
  const std::vector<std::string> missingRights =
      env.form.missingRunRights ? env.form.missingRunRights() : sys::MissingRunRights();
  const bool check = options.command == Command::Check;
  const std::string refusal = check ? std::string() : RunRightsFinding(missingRights);
  if (!refusal.empty()) {
    for (const std::string& line : SplitLines(refusal)) err << line << "\n";
    report.failure = refusal;
    return finish(Outcome::FailedUnchanged);
  }

  // One updater at a time on this machine; a refused one touches nothing.
  std::string holder;
  const auto lock = sys::RunLock::TryAcquire(
      sys::RunLockFile(),
      programName + " (PID " + std::to_string(sys::CurrentProcessId()) + "), command " + report.command +
          ", folder " + report.folder + ", started " + report.started,
      holder);
  if (!lock) {
    err << "Another updater is at work on this machine: "
        << (holder.empty() ? "(it does not say who)" : holder)
        << "\nNothing was changed. Start again when it has ended.\n";
    report.failure = "locked: " + holder;
    return finish(Outcome::Locked);
  }

  // The same start-up as the window: catalogue check, then the creation
  // handler (libraries beside the executable, log file, server discovery).
  i18n::CatalogueTable sillTable;
  try {
    i18n::TLDM& ldm = i18n::LDM();
    const std::string emptyTexts = ldm.CheckEmptyTexts(ldm.Sil);
    if (!emptyTexts.empty()) err << emptyTexts << "\n";
    sillTable = i18n::EmbeddedSillTable();
  } catch (const std::exception& failure) {
    err << failure.what() << "\n";
    report.failure = failure.what();
    return finish(Outcome::FailedUnchanged);
  }

  const EngineCalls engine = env.form.engine;
  const auto findResource = env.form.findResource;
  const firebird::FbServiceContext serviceBase = env.form.service;
  const firebird::Pause shutdownBase = env.form.shutdownPause;
  std::unique_ptr<TfrmMain> form;
  ConsoleHost host([&form](const std::string& text) { form->SaveExceptionToLog(text); },
                   ChooseAnswerMode(options.yes, env.inputIsTerminal),
                   {out, err, *env.in, env.errorIsTerminal});
  // A check's standard output is its table; its entries go to the log file only.
  std::ostream discard(nullptr);
  ConsoleView view(check ? discard : out, host);
  host.SetProgramName(sys::PathToUtf8(sys::PathFromUtf8(env.form.executablePath).stem()));
  form = std::make_unique<TfrmMain>(view, std::move(sillTable), std::move(env.form));
  if (!form->LinkReport().empty()) err << form->LinkReport() << "\n";
  try {
    if (check) {
      // A log that cannot be made is one of the check's findings.
      form->FormCreateForCheck();
    } else {
      form->FormCreate();
    }
  } catch (const std::exception& failure) {
    AEException(host, form->ApplicationTitle(), failure);
    report.failure = failure.what();
    return finish(Outcome::FailedUnchanged);
  }
  report.logFile = form->LogFileName();
  host.SetEntryHook(env.onEntry);

  ServerTrace trace;
  UpdateSettings settings;
  settings.profile = TarnVelProfile();
  settings.ServerParams = form->ServerParams;
  settings.service = serviceBase;
  settings.service.showMessage = [&](const std::string& text) {
    DialogRequest box;
    box.type = DialogType::Information;
    box.caption = form->ApplicationTitle();
    box.text = text;
    box.buttons = {DialogButton::Ok};
    host.ShowDialog(box);
  };
  settings.shutdownPause = shutdownBase;
  if (options.command == Command::Update) {
    settings.service.pause = Traced(serviceBase.pause, trace.serviceStopped);
    settings.shutdownPause = Traced(shutdownBase, trace.databaseShutDown, &trace.shutDownAt);
    // Told by the engine when an online call returned, never read off the
    // log, whose entry may fail to be written although the database is online.
    settings.onDatabaseOnline = [&trace] {
      if (!trace.databaseShutDown) return;
      trace.databaseBackOnline = true;
      trace.onlineAt = std::chrono::steady_clock::now();
    };
  }
  settings.stateFolder = sys::MachineStateFolder();
  // What an interrupted update left must be dealt with before the database
  // is touched again; the service commands stay, to help by hand.
  if (options.command == Command::Update || options.command == Command::Online ||
      options.command == Command::Shutdown) {
    if (const auto interrupted = ReadUnfinishedJournal(settings.stateFolder)) {
      err << DescribeInterruptedRun(*interrupted) << "\n"
          << "Run \"" << programName << " recover\" to recover it first (journal: " << interrupted->path
          << ").\n";
      report.failure = DescribeInterruptedRun(*interrupted);
      return finish(Outcome::OperatorMustAct);
    }
  }
  if (!settings.service.pause) settings.service.pause = firebird::SleepPause;
  if (!settings.shutdownPause) settings.shutdownPause = firebird::SleepPause;

  const std::string admn = options.admnPassword.value_or(presets.AdmnPassword);
  RunFacts facts;
  try {
    switch (options.command) {
      case Command::Update:
        err << "* " << GetMessageText("uMain_OkBtn_2") << "\n";
        engine.updateProgramm(host, settings, report.folder, sysdbaPassword, admn,
                              settings.profile.ProjectKey);
        break;
      case Command::Online:
        engine.updateOnLine(host, settings, report.folder, sysdbaPassword);
        break;
      case Command::Shutdown:
        engine.updateShutdown(host, settings, report.folder, sysdbaPassword);
        break;
      case Command::StartService:
        engine.startFBService(settings.ServerParams, true, settings.service);
        break;
      case Command::StopService:
        engine.stopFBService(settings.ServerParams, true, settings.service);
        break;
      case Command::Recover:
        RecoverInterruptedRun(host, settings, sysdbaPassword);
        break;
      case Command::Check: {
        CheckSurroundings surroundings;
        surroundings.missingRunRights = missingRights;
        surroundings.logFolder = form->LogFolder();
        surroundings.findResource = findResource;
        surroundings.serviceState = env.serviceState;
        report.findings = PreflightCheck(host, settings, surroundings, report.folder, sysdbaPassword, admn,
                                         settings.profile.ProjectKey);
        out << CheckTable(*report.findings) << "\n" << CheckSummary(*report.findings) << "\n";
        out.flush();
        break;
      }
    }
  } catch (const SilentAbort&) {
    facts.declined = true;
  } catch (const std::exception& failure) {
    facts.failed = true;
    facts.failureText = failure.what();
  }
  facts.rolledBack = host.RolledBack();
  facts.databaseShutDownByRun = trace.databaseShutDown;
  facts.databaseBackOnline = trace.databaseBackOnline;
  facts.serviceStoppedByRun = trace.serviceStopped;
  if (trace.serviceStopped)
    facts.serviceRunsAfter = env.serviceState(settings.ServerParams.ServiceName) == sys::kServiceRunning;
  Outcome outcome = ClassifyOutcome(facts);
  if (check && outcome == Outcome::Succeeded && report.findings && CheckBlocks(*report.findings))
    outcome = Outcome::CheckBlocks;
  // A recovery that stopped leaves work for the operator by definition.
  if (options.command == Command::Recover && facts.failed) outcome = Outcome::OperatorMustAct;

  // The window's closing display, in words: the update's last log entry on
  // success, the status line after a failure, then the failure itself.
  try {
    if (options.command == Command::Update) {
      if (outcome == Outcome::Succeeded) {
        host.SaveExceptionToLog(GetMessageText("uMain_Finished_2"));
      } else if (facts.failed || facts.declined) {
        // A declined run ends like a failed one in the window: "interrupted".
        host.SetStatusCaption(FailedRunStatus(facts.rolledBack, facts.failureText));
      }
    }
    if (facts.failed) AEException(host, form->ApplicationTitle(), facts.failureText);
  } catch (const std::exception& logFailure) {
    err << logFailure.what() << "\n";
  }

  report.rolledBack = facts.rolledBack;
  report.failure = facts.failureText;
  const std::string oldDir = CurrentUpdateContext().OldDir;
  if (options.command == Command::Update && !oldDir.empty() && sys::DirectoryExists(oldDir))
    report.backupFolder = oldDir;
  report.backupComplete = !report.backupFolder.empty() &&
                          sys::FileExists(sys::IncludeTrailingPathDelimiter(oldDir) + kBackupCompleteMarker);
  if (trace.databaseShutDown && trace.databaseBackOnline) {
    report.downtimeSeconds =
        std::chrono::duration<double>(trace.onlineAt - trace.shutDownAt).count();
  }
  report.entries = host.Entries();
  report.durationSeconds = host.SecondsSinceStart();
  return finish(outcome);
}

}  // namespace tarnvel::console
