// Console updates of a product with its database on the real Firebird
// server, through the product's own service: success with an attached user,
// and a run that leaves the database shut down (the operator must act).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

#include "console/posix/console_server_fixture.h"
#include "firebird/client_layers.h"
#include "firebird/db_connection.h"
#include "frontends/console/console_run.h"
#include "i18n/ldm.h"
#include "sysroutines/paths.h"

namespace tarnvel::console {
namespace {

using namespace testing;

TEST_F(ConsoleServerRun, AnAttachedUserIsForcedOffWithYesAndTheDatabaseComesBack) {
  firebird::ConnectionLayer().Select(settings_.profile.ClientLibrary);
  firebird::TDBConnection clerk(Database(), "CLERK1", "clerk1pw", "");
  clerk.Connect();
  EXPECT_EQ(RunConsoleUpdate(nullptr), 0) << err_.str();
  EXPECT_NE(err_.str().find("CLERK1"), std::string::npos) << "the attached-users warning was not shown";
  EXPECT_EQ(Report()["outcome"].string, "succeeded");
  // The operator's downtime, shutdown to online: at least the fixed pauses
  // between them, and said before the outcome.
  const JsonValue report = Report();
  const JsonValue& downtime = report["databaseDowntimeSeconds"];
  ASSERT_EQ(downtime.kind, JsonValue::Kind::Number);
  EXPECT_GT(downtime.number, 0);
  EXPECT_LE(downtime.number, report["durationSeconds"].number);
  EXPECT_NE(err_.str().find("The database was out of use for "), std::string::npos) << err_.str();
  EXPECT_TRUE(ReadFile(root_ + "/Program/TarnVel.exe") == NewClientBytes());
  EXPECT_TRUE(DatabaseOnline()) << AttachAs("CLERK1", "clerk1pw");
}

// The console says what the window says: in Russian, the line that names the
// cause comes first, then the server's own (English) text.
TEST_F(ConsoleServerRun, AWrongPasswordIsNamedInTheOperatorsLanguage) {
  password_ = "wrong";
  i18n::LDM().Sild.SetActiveLanguage(2);
  const int code = RunConsoleUpdate(nullptr);
  i18n::LDM().Sild.SetActiveLanguage(3);
  EXPECT_EQ(code, 1) << err_.str();
  const std::string cause =
      "Сервер Firebird отклонил имя пользователя или пароль: проверьте пароль SYSDBA и повторите.";
  const std::size_t line = err_.str().find(cause);
  ASSERT_NE(line, std::string::npos) << err_.str();
  EXPECT_NE(err_.str().find("Your user name and password are not defined", line), std::string::npos)
      << err_.str();
  EXPECT_EQ(Report()["failure"].string.rfind(cause + "\r\nISC ERROR CODE:335544472", 0), 0u)
      << Report()["failure"].string;
  EXPECT_TRUE(DatabaseOnline()) << AttachAs("CLERK1", "clerk1pw");
}

TEST_F(ConsoleServerRun, AServiceThatWillNotStartLeavesTheDatabaseShutDownForTheOperator) {
  const int code = RunConsoleUpdate([this](const std::string& text) {
    if (text == Text("26")) RefuseServiceStart(true);
  });
  RefuseServiceStart(false);
  EXPECT_EQ(code, 4) << err_.str();
  const JsonValue report = Report();
  EXPECT_EQ(report["outcome"].string, "operator-must-act");
  EXPECT_FALSE(report["rolledBack"].boolean);
  EXPECT_NE(report["failure"].string, "");
  // The text sends the operator to the menu; the console names its commands.
  EXPECT_NE(err_.str().find(Text("uConsole_MenuAdvice_2", "Updater_TarnVel_console")), std::string::npos)
      << err_.str();
  // With the server running again the database is still shut down: that is
  // the operator's work the exit code announced.
  ASSERT_EQ(std::system("/etc/init.d/firebird3.0 start >/dev/null 2>&1"), 0);
  ASSERT_TRUE(ServerAnswers(true));
  EXPECT_FALSE(DatabaseOnline());
}

TEST_F(ConsoleServerRun, AFailureAfterTheServerCameBackChangedNothing) {
  // The backup cannot start: the run removes its working folder and brings
  // the database online; server and product are as they were.
  const int code = RunConsoleUpdate([](const std::string& text) {
    if (text == Text("38")) throw std::runtime_error("the backup disk went away");
  });
  EXPECT_EQ(code, 1) << err_.str();
  EXPECT_EQ(Report()["outcome"].string, "failed-unchanged");
  EXPECT_EQ(ServiceActions(), "stop stop start ");
  EXPECT_TRUE(DatabaseOnline()) << AttachAs("CLERK1", "clerk1pw");
}

// The log's disk fills up right when the database goes back online: the
// entries that say so cannot be written, but the database is online, and the
// exit code must say the operator has no database to bring back.
TEST_F(ConsoleServerRun, TheOutcomeComesFromTheOnlineCallNotFromItsLogEntry) {
  // From the entry that announces the online call on, the log file refuses
  // every write (made immutable, as a full disk would refuse it).
  const std::string logs = bin_ / "Logs";
  const auto protect = [&](const char* flag) {
    for (const auto& file : std::filesystem::directory_iterator(logs))
      std::system(("chattr " + std::string(flag) + " '" + file.path().string() + "' 2>/dev/null").c_str());
  };
  const int code = RunConsoleUpdate([&](const std::string& text) {
    if (text == Text("48")) protect("+i");
  });
  protect("-i");
  EXPECT_TRUE(DatabaseOnline()) << AttachAs("CLERK1", "clerk1pw");
  EXPECT_NE(code, 4) << err_.str();
  EXPECT_NE(Report()["outcome"].string, "operator-must-act");
  EXPECT_NE(Report()["failure"].string, "") << "the log failure is not reported";
}

// The program itself, started by a user who is not root: every command is
// refused before it touches anything. The database stays online, no working
// folder appears and the service is asked nothing.
TEST_F(ConsoleServerRun, AUserWhoIsNotRootIsRefusedBeforeAnythingChanges) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to start the program as another user";
  const std::string refusal = i18n::GetMessageText(
      "uUpdate_CheckRunRights_1", "euid 0, CAP_CHOWN, CAP_DAC_OVERRIDE, CAP_FOWNER, CAP_KILL");
  const std::string errors = bin_ / "errors.txt";
  const auto quoted = [](const std::string& text) { return "'" + text + "'"; };
  for (const char* command : {"update", "shutdown", "stop-service", "start-service", "online", "recover"}) {
    SCOPED_TRACE(command);
    const std::string line = "LC_ALL=C /usr/bin/setpriv --reuid=65534 --regid=65534 --clear-groups " +
                             quoted(TARNVEL_CONSOLE_PROGRAM) + " " + command + " --folder " + quoted(root_) +
                             " --yes </dev/null >/dev/null 2>" + quoted(errors);
    const int status = std::system(line.c_str());
    ASSERT_TRUE(WIFEXITED(status)) << line;
    EXPECT_EQ(WEXITSTATUS(status), 1);
    const std::string said = ReadFile(errors);
    EXPECT_NE(said.find(refusal.substr(0, refusal.find('\r'))), std::string::npos) << said;
    EXPECT_TRUE(DatabaseOnline()) << AttachAs("CLERK1", "clerk1pw");
    EXPECT_EQ(ServiceActions(), "");
    EXPECT_EQ(WorkingFolder(root_), "");
  }
}

}  // namespace
}  // namespace tarnvel::console
