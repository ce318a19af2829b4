// The console's own logic without a run: the command line, where the SYSDBA
// password comes from, how boxes are answered, the outcome of each kind of
// ending, and the report's JSON.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "console/json_reader.h"
#include "frontends/console/console_advice.h"
#include "frontends/console/console_answers.h"
#include "frontends/console/console_options.h"
#include "frontends/console/console_outcome.h"
#include "frontends/console/console_report.h"
#include "i18n/ldm.h"
#include "support/temp_dir.h"
#include "sysroutines/read_whole_file.h"

namespace tarnvel::console {
namespace {

TEST(ConsoleCommandLine, CommandsAndOptions) {
  const struct {
    std::vector<std::string> args;
    Command command;
    std::string folder, admn, report;
    bool yes;
  } cases[] = {
      {{}, Command::Update, "", "", "", false},
      {{"online", "--folder", "/p"}, Command::Online, "/p", "", "", false},
      {{"--folder=/p q", "shutdown"}, Command::Shutdown, "/p q", "", "", false},
      {{"start-service", "-y"}, Command::StartService, "", "", "", true},
      {{"stop-service", "--report", "r.json"}, Command::StopService, "", "", "r.json", false},
      {{"update", "--admn-password", "7", "--yes", "-f", "/x"}, Command::Update, "/x", "7", "", true},
      {{"--admn-password="}, Command::Update, "", "", "", false},
  };
  for (const auto& c : cases) {
    const ParsedCommandLine parsed = ParseCommandLine(c.args);
    SCOPED_TRACE(c.args.empty() ? "(none)" : c.args[0]);
    EXPECT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.command, c.command);
    EXPECT_EQ(parsed.options.folder.value_or(""), c.folder);
    EXPECT_EQ(parsed.options.admnPassword.value_or(""), c.admn);
    EXPECT_EQ(parsed.options.reportFile.value_or(""), c.report);
    EXPECT_EQ(parsed.options.yes, c.yes);
  }
  EXPECT_TRUE(ParseCommandLine({"online", "--help"}).options.help);
  EXPECT_TRUE(ParseCommandLine({"--folder", "/p", "--version"}).options.version);
  EXPECT_FALSE(ParseCommandLine({"--help"}).options.version);
}

TEST(ConsoleCommandLine, BadCommandLinesAreUsageErrors) {
  const std::vector<std::vector<std::string>> bad = {{"upgrade"},
                                                     {"online", "shutdown"},
                                                     {"--folder"},
                                                     {"--folder="},
                                                     {"--report"},
                                                     {"--frobnicate"},
                                                     {"--yes=no"},
                                                     {"--version=2"},
                                                     {"--sysdba-password-env"},
                                                     {"--sysdba-password-file="},
                                                     {""},
                                                     {"-"}};
  for (const auto& args : bad) {
    SCOPED_TRACE(args[0]);
    EXPECT_NE(ParseCommandLine(args).error, "");
  }
}

TEST(ConsoleCommandLine, TheSysdbaPasswordIsNeverTakenFromTheCommandLine) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--password", "kelpdromux"}, {"--sysdba-password=kelpdromux"}, {"-p", "x"}, {"--sysdba", "x"}}) {
    SCOPED_TRACE(args[0]);
    const std::string error = ParseCommandLine(args).error;
    EXPECT_NE(error.find("not taken from the command line"), std::string::npos) << error;
    EXPECT_EQ(error.find("kelpdromux"), std::string::npos) << "the refusal repeats the password";
  }
}

TEST(ConsoleCommandLine, SysdbaPasswordSourcesInOrder) {
  std::map<std::string, std::string> variables, files;
  bool prompted = false;
  std::optional<std::string> typed;
  PasswordSources sources{[&](const std::string& name) -> std::optional<std::string> {
                            const auto found = variables.find(name);
                            return found == variables.end() ? std::nullopt : std::optional(found->second);
                          },
                          [&](const std::string& path, std::string& content) -> sys::SysResult {
                            const auto found = files.find(path);
                            if (found == files.end()) return sys::ReadWholeFile(path, content);
                            content = found->second;
                            return {};
                          },
                          [&] {
                            prompted = true;
                            return typed;
                          }};
  auto resolve = [&](const std::vector<std::string>& args) {
    return ResolveSysdbaPassword(ParseCommandLine(args).options, sources, "preset");
  };

  typed = "";  // Enter at the prompt keeps the preset
  EXPECT_EQ(resolve({}), "preset");
  EXPECT_TRUE(prompted);
  typed = "typed";
  EXPECT_EQ(resolve({}), "typed");
  variables["TARNVEL_SYSDBA_PASSWORD"] = "from-default-variable";
  prompted = false;
  EXPECT_EQ(resolve({}), "from-default-variable");
  EXPECT_FALSE(prompted);
  variables["MINE"] = "from-mine";
  EXPECT_EQ(resolve({"--sysdba-password-env", "MINE"}), "from-mine");
  files["pw"] = "from-file\r\nsecond line";
  EXPECT_EQ(resolve({"--sysdba-password-file", "pw", "--sysdba-password-env", "MINE"}), "from-file");
  // Named sources that hold nothing are errors, not a silent fall back.
  files["empty"] = "\n";
  variables["BLANK"] = "";
  EXPECT_THROW(resolve({"--sysdba-password-file", "empty"}), std::invalid_argument);
  // Each says what is wrong with the file, read for real.
  const testing::TempDir dir("password");
  const auto refusal = [&](const std::string& file) {
    try {
      resolve({"--sysdba-password-file", file});
    } catch (const std::invalid_argument& failure) {
      return std::string(failure.what());
    }
    return std::string("(no failure)");
  };
  EXPECT_EQ(refusal(dir.str()), "The password file " + dir.str() + " is a folder, not a file.");
  const std::string missing = dir / "missing";
  std::string unused;
  EXPECT_EQ(refusal(missing), "Cannot read the password file " + missing + ": " +
                                  sys::SystemErrorText(sys::ReadWholeFile(missing, unused).ErrorCode()) +
                                  ".");
  EXPECT_EQ(sys::KindOfSystemError(sys::ReadWholeFile(missing, unused).ErrorCode()),
            sys::SystemErrorKind::NotFound);
  EXPECT_THROW(resolve({"--sysdba-password-env", "UNSET"}), std::invalid_argument);
  EXPECT_THROW(resolve({"--sysdba-password-env", "BLANK"}), std::invalid_argument);
  // Without a terminal there is no prompt: the preset.
  variables.clear();
  sources.prompt = nullptr;
  EXPECT_EQ(resolve({}), "preset");
}

DialogRequest Question(DialogButton defaultButton) {
  DialogRequest box;
  box.type = DialogType::Confirmation;
  box.caption = "Confirm";
  box.text = "First line\rSecond line";
  box.buttons = {DialogButton::Yes, DialogButton::No};
  box.defaultButton = defaultButton;
  box.escapeButton = DialogButton::No;
  return box;
}

TEST(ConsoleAnswers, ModeOfARun) {
  EXPECT_EQ(ChooseAnswerMode(true, false), AnswerMode::Yes);
  EXPECT_EQ(ChooseAnswerMode(true, true), AnswerMode::Yes);
  EXPECT_EQ(ChooseAnswerMode(false, true), AnswerMode::Ask);
  EXPECT_EQ(ChooseAnswerMode(false, false), AnswerMode::No);
}

TEST(ConsoleAnswers, QuestionsByModeAndTypedAnswer) {
  const struct {
    AnswerMode mode;
    DialogButton defaultButton;
    std::string typed;
    DialogButton expected;
  } cases[] = {
      {AnswerMode::Yes, DialogButton::No, "", DialogButton::Yes},
      {AnswerMode::No, DialogButton::Yes, "", DialogButton::No},
      {AnswerMode::Ask, DialogButton::No, "\n", DialogButton::No},
      {AnswerMode::Ask, DialogButton::Yes, "\n", DialogButton::Yes},
      {AnswerMode::Ask, DialogButton::No, "y\n", DialogButton::Yes},
      {AnswerMode::Ask, DialogButton::No, " YES \n", DialogButton::Yes},
      {AnswerMode::Ask, DialogButton::Yes, "n\n", DialogButton::No},
      {AnswerMode::Ask, DialogButton::No, "maybe\nyes\n", DialogButton::Yes},
      {AnswerMode::Ask, DialogButton::Yes, "", DialogButton::No},  // end of input: Esc
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    std::istringstream in(c.typed);
    std::ostringstream out;
    EXPECT_EQ(AnswerDialog(Question(c.defaultButton), c.mode, in, out), c.expected);
    EXPECT_NE(out.str().find("  First line\n  Second line\n"), std::string::npos) << out.str();
  }
}

TEST(ConsoleAnswers, BoxesWithOnlyOkArePrintedAndPassed) {
  DialogRequest box;
  box.caption = "Error";
  box.text = "It broke";
  box.buttons = {DialogButton::Ok};
  for (AnswerMode mode : {AnswerMode::Yes, AnswerMode::Ask, AnswerMode::No}) {
    std::istringstream in;  // nothing to read: an OK box must not wait for input
    std::ostringstream out;
    EXPECT_EQ(AnswerDialog(box, mode, in, out), DialogButton::Ok);
    EXPECT_EQ(out.str(), "[Error]\n  It broke\n");
  }
}

TEST(ConsoleOutcome, EachEndingHasItsExitCode) {
  const auto facts = [](auto change) {
    RunFacts f;
    change(f);
    return f;
  };
  const struct {
    const char* name;
    RunFacts facts;
    int exitCode;
  } cases[] = {
      {"success", {}, 0},
      {"declined", facts([](RunFacts& f) { f.declined = true; }), 2},
      {"failed early", facts([](RunFacts& f) { f.failed = true, f.failureText = "x"; }), 1},
      {"rolled back", facts([](RunFacts& f) { f.failed = true, f.rolledBack = true; }), 3},
      {"rollback incomplete",
       facts([](RunFacts& f) { f.failed = true, f.rolledBack = true, f.failureText = "not restored"; }), 4},
      {"database left shut down",
       facts([](RunFacts& f) { f.failed = true, f.failureText = "x", f.databaseShutDownByRun = true; }), 4},
      {"database back online", facts([](RunFacts& f) {
         f.failed = true, f.failureText = "x", f.databaseShutDownByRun = true, f.databaseBackOnline = true;
       }),
       1},
      {"service left stopped", facts([](RunFacts& f) {
         f.failed = true, f.failureText = "x", f.serviceStoppedByRun = true, f.serviceRunsAfter = false;
       }),
       4},
      {"service running again",
       facts([](RunFacts& f) { f.failed = true, f.failureText = "x", f.serviceStoppedByRun = true; }), 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ExitCode(ClassifyOutcome(c.facts)), c.exitCode);
  }
  EXPECT_EQ(ExitCode(Outcome::UsageError), 64);
}

// A text that sends the operator to a menu item gets the console command
// that does the same, in the operator's language; other texts get nothing.
TEST(ConsoleAdvice, MenuItemsAreNamedAsConsoleCommands) {
  using i18n::GetMessageText;
  for (int language : {3, 2}) {  // English, Russian
    i18n::LDM().Sild.SetActiveLanguage(language);
    const std::string online = GetMessageText("uConsole_MenuAdvice_1", "tv") + "\n";
    const std::string restart = GetMessageText("uConsole_MenuAdvice_2", "tv") + "\n";
    const struct {
      std::string failure;
      std::string advice;
    } cases[] = {
        {GetMessageText("uUpdate_UpdateProgramm_20") + " ISC ERROR CODE:335544528", online},
        {"Cannot copy\r" + GetMessageText("uUpdate_UpdateProgramm_30"), restart},
        {GetMessageText("uUpdate_UpdateProgramm_50") + "\rOriginal Message: x", online},
        {GetMessageText("uUpdate_UpdateProgramm_20") + "\r" + GetMessageText("uUpdate_UpdateProgramm_50"), online},
        {"Switch database to multi-user mode (OnLine)", ""},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(console::ConsoleCommandAdvice(c.failure, "tv"), c.advice) << c.failure;
    EXPECT_NE(online.find("tv online"), std::string::npos);
  }
  i18n::LDM().Sild.SetActiveLanguage(3);
}

TEST(ConsoleReport, ReadsBackWithStepDurations) {
  RunReport report;
  report.command = "update";
  report.folder = "C:\\ZEK\\\"Tarn\"Vel";
  report.outcome = Outcome::RolledBack;
  report.rolledBack = true;
  report.failure = "line one\rline two\ttab \x01";
  report.durationSeconds = 10;
  report.entries = {{"2026-01-02 03:04:05", 1, "first"}, {"2026-01-02 03:04:09", 4.5, "Ölmühle\r\tsecond"}};
  const testing::JsonValue json = testing::ParseJson(ReportJson(report));
  EXPECT_EQ(json["folder"].string, report.folder);
  EXPECT_EQ(json["outcome"].string, "rolled-back");
  EXPECT_EQ(json["exitCode"].number, 3);
  EXPECT_TRUE(json["rolledBack"].boolean);
  EXPECT_EQ(json["failure"].string, report.failure);
  ASSERT_EQ(json["entries"].array.size(), 2u);
  EXPECT_EQ(json["entries"].array[1]["text"].string, "Ölmühle\r\tsecond");
  EXPECT_DOUBLE_EQ(json["entries"].array[0]["stepSeconds"].number, 3.5);
  EXPECT_DOUBLE_EQ(json["entries"].array[1]["stepSeconds"].number, 5.5);
  EXPECT_EQ(testing::ParseJson(ReportJson({}))["entries"].array.size(), 0u);
}

}  // namespace
}  // namespace tarnvel::console
