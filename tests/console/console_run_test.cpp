// Whole console runs of the real engine on CLIENT-only products: the exit
// code of each outcome, the report read back against the run log, and bad
// command lines that touch nothing. Faults are injected at exact entries.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <sstream>

#include "console/json_reader.h"
#include "driver/driver_fixture.h"
#include "frontends/console/console_run.h"
#include "i18n/ldm.h"
#include "sysroutines/paths.h"
#include "update/update_context.h"

namespace tarnvel::console {
namespace {

using namespace testing;
namespace fs = std::filesystem;

class ConsoleRun : public ::testing::Test {
 protected:
  void SetUp() override { fs::create_directories(dir_.path() / "bin"); }

  int Run(const std::vector<std::string>& args) {
    out_.str("");
    err_.str("");
    ConsoleEnvironment env;
    env.form.executablePath = Child(dir_ / "bin", "Updater_TarnVel_console");
    // A CLIENT-only product never reaches the server: no registry is read.
    env.form.discoverServer = [](firebird::TFBServParams&) {};
    env.form.service.pause = [](std::chrono::milliseconds) {};
    env.form.shutdownPause = [](std::chrono::milliseconds) {};
    env.out = &out_;
    env.err = &err_;
    env.in = &in_;
    env.inputIsTerminal = false;
    env.errorIsTerminal = false;
    // The machine's own TARNVEL_SYSDBA_PASSWORD stays out of the test.
    env.environment = [](const std::string&) { return std::optional<std::string>(); };
    env.onEntry = onEntry_;
    if (missingRights_) env.form.missingRunRights = [this] { return *missingRights_; };
    return RunConsole(args, std::move(env));
  }

  std::string Program() const { return Child(root_, "Program"); }
  std::string ReportFile() const { return dir_ / "report.json"; }
  JsonValue Report() const { return ParseJson(ReadFile(sys::PathFromUtf8(ReportFile()))); }

  TempDir dir_{"console"};
  std::string root_ = dir_ / "TarnVel";
  std::ostringstream out_, err_;
  std::istringstream in_;
  std::function<void(const std::string&)> onEntry_;
  std::optional<std::vector<std::string>> missingRights_;
};

// The run log as standard output shows it, entry by entry without the stamps.
std::vector<std::string> EntriesOnStdout(const std::string& out) {
  std::vector<std::string> entries;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line[0] == '\t') {
      EXPECT_FALSE(entries.empty());
      if (!entries.empty()) entries.back() += "\r" + line.substr(1);
      continue;
    }
    const std::size_t colon = line.find(": ");
    EXPECT_NE(colon, std::string::npos) << line;
    entries.push_back(line.substr(colon + 2));
  }
  return entries;
}

TEST_F(ConsoleRun, AnUnattendedUpdateReplacesTheClientAndReportsEveryEntry) {
  LayOutClientProduct(root_);
  const auto before = TreeContents(Program());
  EXPECT_EQ(Run({"--folder", root_, "--yes", "--report", ReportFile()}), 0) << err_.str();
  EXPECT_TRUE(ReadFile(sys::PathFromUtf8(Child(Program(), "TarnVel.exe"))) == NewClientBytes());
  EXPECT_EQ(TreeContents(CurrentUpdateContext().OldProgramDir), before);

  const JsonValue report = Report();
  EXPECT_EQ(report["outcome"].string, "succeeded");
  EXPECT_EQ(report["exitCode"].number, 0);
  EXPECT_FALSE(report["rolledBack"].boolean);
  EXPECT_EQ(report["failure"].string, "");
  EXPECT_EQ(report["backupFolder"].string, CurrentUpdateContext().OldDir);
  EXPECT_TRUE(report["backupComplete"].boolean);
  EXPECT_EQ(report["databaseDowntimeSeconds"].kind, JsonValue::Kind::Null);  // a CLIENT-only run
  EXPECT_THAT(err_.str(), ::testing::HasSubstr("The backup of this run is in " + CurrentUpdateContext().OldDir + " (complete).\n"));
  // Every entry of the report is an entry of standard output, in order, and
  // of the log file.
  std::vector<std::string> reported;
  for (const JsonValue& entry : report["entries"].array) {
    reported.push_back(entry["text"].string);
    EXPECT_GE(entry["stepSeconds"].number, 0);
  }
  EXPECT_EQ(reported, EntriesOnStdout(out_.str()));
  ASSERT_FALSE(reported.empty());
  EXPECT_EQ(reported.front(), InitEntries().front());
  EXPECT_EQ(reported.back(), Text("uMain_Finished_2"));
  const std::string logFile = ReadFile(sys::PathFromUtf8(report["logFile"].string));
  for (const std::string& entry : reported) EXPECT_NE(logFile.find(entry), std::string::npos) << entry;
}

TEST_F(ConsoleRun, EachOutcomeHasItsExitCodeAndReport) {
  const struct {
    const char* name;
    bool product;
    std::vector<std::string> extra;
    std::function<void(const std::string&)> onEntry;
    int exitCode;
    std::string outcome;
    bool changed;
    const char* status;  // the window's closing status line, if any
  } cases[] = {
      {"no terminal, no --yes: declined", true, {}, nullptr, 2, "declined", false, "uMain_Finished_4"},
      {"no product: failure before a change", false, {"--yes"}, nullptr, 1, "failed-unchanged", false,
       "uMain_Finished_4"},
      {"the new client vanishes: rolled back",
       true,
       {"--yes"},
       [](const std::string& text) {
         if (text == Text("uIS_TarnVel_8"))
           fs::remove(sys::PathFromUtf8(Child(CurrentUpdateContext().NewDir, "TarnVel.exe")));
       },
       3,
       "rolled-back",
       false,
       "uMain_Finished_3"},
      {"success", true, {"--yes"}, nullptr, 0, "succeeded", true, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(sys::PathFromUtf8(root_));
    fs::create_directories(sys::PathFromUtf8(root_));
    if (c.product) LayOutClientProduct(root_);
    const auto before = TreeContents(root_);
    onEntry_ = c.onEntry;
    std::vector<std::string> args = {"--folder", root_, "--report", ReportFile()};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    EXPECT_EQ(Run(args), c.exitCode) << err_.str();
    const JsonValue report = Report();
    EXPECT_EQ(report["outcome"].string, c.outcome);
    EXPECT_EQ(report["exitCode"].number, c.exitCode);
    EXPECT_EQ(report["rolledBack"].boolean, c.exitCode == 3);
    for (const char* status : {"uMain_Finished_3", "uMain_Finished_4"}) {
      const bool shown = err_.str().find("* " + Text(status) + "\n") != std::string::npos;
      EXPECT_EQ(shown, c.status != nullptr && std::string(c.status) == status) << status << "\n" << err_.str();
    }
    if (!c.changed) {
      auto after = TreeContents(root_);
      // A rollback keeps its backup in the working folder; the product itself is as it was.
      std::erase_if(after, [](const auto& file) { return file.first.rfind("Tmp$", 0) == 0; });
      EXPECT_EQ(after, before);
    }
  }
}

TEST_F(ConsoleRun, ABadCommandLineTouchesNothing) {
  LayOutClientProduct(root_);
  const auto before = TreeContents(dir_.str());
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--folder", root_, "--password", "kelpdromux"},
           {"--folder", root_, "--yes", "upgrade"},
           {"--folder"},
           {"--sysdba-password-file", dir_ / "missing", "--yes", "--report", ReportFile()}}) {
    SCOPED_TRACE(args.back());
    EXPECT_EQ(Run(args), 64);
    EXPECT_EQ(out_.str(), "");
    EXPECT_NE(err_.str().find("Updater_TarnVel_console: "), std::string::npos) << err_.str();
    EXPECT_EQ(TreeContents(dir_.str()), before) << "a file was written";
  }
}

// Without the rights every command needs, the program stops before it takes
// the machine's lock, writes its log or touches the product: exit code 1,
// the refusal on standard error and in the report. The missing rights are a
// stand-in (this test runs with all of them); the program itself is started
// as another user in the Linux server tests.
TEST_F(ConsoleRun, WithoutTheRightsEveryCommandIsRefusedBeforeItTouchesAnything) {
  LayOutClientProduct(root_);
  const auto before = TreeContents(root_);
  missingRights_ = {"euid 0", "CAP_KILL"};
  const std::string refusal = i18n::GetMessageText("uUpdate_CheckRunRights_1", "euid 0, CAP_KILL");
  for (const char* command : {"update", "online", "shutdown", "start-service", "stop-service", "recover"}) {
    SCOPED_TRACE(command);
    EXPECT_EQ(Run({command, "--folder", root_, "--yes", "--report", ReportFile()}), 1);
    EXPECT_EQ(out_.str(), "");  // no run log
    EXPECT_NE(err_.str().find(refusal.substr(0, refusal.find('\r'))), std::string::npos) << err_.str();
    EXPECT_NE(err_.str().find("failed-unchanged (exit code 1)"), std::string::npos) << err_.str();
    EXPECT_EQ(Report()["outcome"].string, "failed-unchanged");
    EXPECT_EQ(Report()["failure"].string, refusal);
    EXPECT_FALSE(fs::exists(dir_.path() / "bin" / "Logs"));
    EXPECT_EQ(TreeContents(root_), before);
  }
}

// A check of a CLIENT-only product asks no server; what it finds there, and
// what an interrupted run or an unwritable log folder would do to an update.
TEST_F(ConsoleRun, ACheckNamesWhatBlocksAndChangesNothing) {
  LayOutClientProduct(root_);
  const auto before = TreeContents(root_);
  const auto verdicts = [this] {
    std::string text;
    const JsonValue report = Report();
    for (const JsonValue& finding : report["findings"].array)
      text += finding["topic"].string + "=" + finding["verdict"].string + " ";
    return text;
  };
  const std::vector<std::string> check = {"check", "--folder", root_, "--report", ReportFile()};
  EXPECT_EQ(Run(check), 0) << out_.str() << err_.str();
  EXPECT_EQ(verdicts(), "rights=ok parts=ok admn=ok backup-space=ok holders=ok leftovers=ok payload=ok log=ok ");
  EXPECT_NE(out_.str().find(i18n::GetMessageText("uUpdate_PreflightCheck_32")), std::string::npos) << out_.str();
  EXPECT_NE(err_.str().find("succeeded (exit code 0)"), std::string::npos) << err_.str();

  // The lock test's name taken, a backup whose copy never ended, and a file
  // where the log folder belongs.
  fs::create_directories(sys::PathFromUtf8(root_ + "_"));
  const std::string partial = Child(Child(root_, "Tmp$010126120000"), "Old");
  fs::create_directories(sys::PathFromUtf8(Child(partial, "Program")));
  fs::remove_all(dir_.path() / "bin" / "Logs");
  WriteFile(dir_.path() / "bin" / "Logs", "not a folder");
  EXPECT_EQ(Run(check), 5) << out_.str() << err_.str();
  EXPECT_EQ(verdicts(),
            "rights=ok parts=ok admn=ok backup-space=ok holders=ok leftovers=blocks leftovers=warning "
            "payload=ok log=blocks ");
  EXPECT_EQ(Report()["outcome"].string, "blocked");
  EXPECT_NE(out_.str().find(partial), std::string::npos) << out_.str();
  EXPECT_NE(err_.str().find("blocked (exit code 5)"), std::string::npos) << err_.str();
  fs::remove_all(sys::PathFromUtf8(Child(root_, "Tmp$010126120000")));
  EXPECT_EQ(TreeContents(root_), before);
  EXPECT_TRUE(fs::is_directory(sys::PathFromUtf8(root_ + "_")));
}

TEST_F(ConsoleRun, HelpNamesEveryCommandAndExitCode) {
  EXPECT_EQ(Run({"--help"}), 0);
  for (const char* word :
       {"update", "online", "shutdown", "start-service", "stop-service", "--yes", "--report",
        "--sysdba-password-file", "--sysdba-password-env", "TARNVEL_SYSDBA_PASSWORD", "--version", "  64", "check"})
    EXPECT_NE(out_.str().find(word), std::string::npos) << word;
}

// Help and version are answered before start-up: nothing is written beside
// the program, not even the log folder, whatever else the command line says.
TEST_F(ConsoleRun, HelpAndVersionTouchNothing) {
  LayOutClientProduct(root_);
  const auto before = TreeContents(dir_.str());
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--help"},
           {"--version"},
           {"online", "--folder", root_, "--yes", "--version", "--report", ReportFile()}}) {
    SCOPED_TRACE(args.front());
    EXPECT_EQ(Run(args), 0);
    EXPECT_NE(out_.str(), "");
    EXPECT_EQ(err_.str(), "");
    EXPECT_EQ(TreeContents(dir_.str()), before) << "a file was written";
    EXPECT_FALSE(fs::exists(dir_.path() / "bin" / "Logs"));
  }
}

}  // namespace
}  // namespace tarnvel::console
