// Update runs of products with a SERVER part from the Windows build under
// Wine. The database calls reach the real Firebird server through the
// test-only client bridge; a Wine service of our own, registered under the
// product's service name, stands for the Firebird service, which a Windows
// program cannot stop here. The products are laid out natively before the
// suite (make_wine_products.sh).
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "driver/db_mode_cycle.h"
#include "driver/driver_fixture.h"
#include "firebird/client_layers.h"
#include "firebird/db_connection.h"
#include "i18n/ldm.h"
#include "support/sysroutines_test_service.h"
#include "sysroutines/paths.h"
#include "firebird/db_services.h"
#include "sysroutines/service_control.h"
#include "update/db_mode_commands.h"
#include "update/preflight_check.h"
#include "update/update_context.h"

namespace tarnvel {
namespace {

using namespace testing;
namespace fs = std::filesystem;

#ifdef TARNVEL_WINE_PRODUCTS
// The Unix folder as Wine's drive Z: shows it.
std::string WinePath(const std::string& unixPath) {
  std::string path = "Z:" + unixPath;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

class WineServerRun : public ::testing::Test {
 protected:
  void SetUp() override {
    settings_ = TestSettings(
        {"", "SUPER", "localhost/3051:", "tarnvel_no_such_server.exe", "NorvaskFireXBirdServer"});
    service_ = std::make_unique<RegisteredTestService>("NorvaskFireXBirdServer");
  }

  std::string Root(const std::string& name) const {
    return WinePath(TARNVEL_WINE_PRODUCTS "/" + name + "/TarnVel");
  }

  ScriptedHost host_;
  UpdateSettings settings_;
  std::unique_ptr<RegisteredTestService> service_;
};

TEST_F(WineServerRun, BothPartsOnSuperServer) {
  const std::string root = Root("both");
  ASSERT_TRUE(DatabaseOnlineFor(root));
  host_.Answer(DialogButton::Yes);
  UpdateProgramm(host_, settings_, root, "kelpdromux", "7", "Tarnvel");

  EXPECT_EQ(host_.entries, InitEntries() +
                               Entries({"8", "18", "19", "21", "22", "23", "24", "26", "27", "32", "35", "36",
                                        "37", "38", "39", "uIS_TarnVel_8"}) +
                               std::vector<std::string>{Text(
                                   "41", sys::IncludeTrailingPathDelimiter(CurrentUpdateContext().NewDir))} +
                               Entries({"48", "49"}));
  EXPECT_TRUE(ReadFile(sys::PathFromUtf8(root + "\\Program\\TarnVel.exe")) == NewClientBytes())
      << "not the new client";
  EXPECT_TRUE(fs::exists(sys::PathFromUtf8(CurrentUpdateContext().OldDBDataDir + "\\TarnVel.fdb")));
  EXPECT_TRUE(DatabaseOnlineFor(root));
}

TEST_F(WineServerRun, AttachedUsersAreListed) {
  const std::string root = Root("users");
  firebird::ConnectionLayer().Select(settings_.profile.ClientLibrary);
  firebird::TDBConnection clerk("localhost/3051:" + root + "\\DB_Data\\TarnVel.fdb", "CLERK2", "clerk2pw",
                                "");
  clerk.Connect();
  host_.Answer(DialogButton::Yes);
  host_.Answer(DialogButton::No);
  try {
    UpdateProgramm(host_, settings_, root, "kelpdromux", "7", "Tarnvel");
    ADD_FAILURE() << "the run went on";
  } catch (const SilentAbort&) {
  }
  EXPECT_EQ(host_.entries, InitEntries() + Entries({"8", "9", "12"}));
  ASSERT_EQ(host_.dialogs.size(), 2u);
  EXPECT_EQ(host_.dialogs[1].text, Text("11", Text("10") + "CLERK2"));
  EXPECT_TRUE(DatabaseOnlineFor(root));
}
// The line that names a server failure comes before the server's text in
// the Windows build too: the codes come through the client library as they are.
TEST_F(WineServerRun, AServerFailureIsNamedBeforeTheServersText) {
  const std::string root = Root("users");
  const struct {
    const char* what;
    std::string prefix, password;
    const char* cause;
  } cases[] = {
      {"wrong password", "localhost/3051:", "wrong", "uUpdate_ServerAdvice_2"},
      {"nobody listens", "localhost/3059:", "kelpdromux", "uUpdate_ServerAdvice_1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    host_ = ScriptedHost();
    host_.Answer(DialogButton::Yes);
    settings_.profile.ConnectionPrefix = c.prefix;
    std::string text = "(no failure)";
    try {
      UpdateProgramm(host_, settings_, root, c.password, "7", "Tarnvel");
    } catch (const std::exception& failure) {
      text = failure.what();
    }
    EXPECT_EQ(text.rfind(Text(c.cause) + "\r\nISC ERROR CODE:", 0), 0u) << text;
    EXPECT_EQ(host_.entries, InitEntries() + Entries({"8"}));
  }
  EXPECT_TRUE(DatabaseOnlineFor(root));
}

// The check reads the database's mode off its header through the client
// library, online and shut down, and changes neither.
TEST_F(WineServerRun, TheCheckReadsTheDatabasesModeAndChangesNothing) {
  const std::string root = Root("check");
  CheckSurroundings surroundings;
  surroundings.logFolder = WinePath(TARNVEL_WINE_PRODUCTS);
  surroundings.serviceState = [](const std::string& name) { return sys::GetServiceState("", name); };
  const auto verdictOf = [&](const std::string& topic) {
    host_ = ScriptedHost();
    for (const CheckFinding& finding :
         PreflightCheck(host_, settings_, surroundings, root, "kelpdromux", "7", "Tarnvel")) {
      if (finding.topic == topic) return std::string(CheckVerdictName(finding.verdict)) + ": " + finding.text;
    }
    return std::string("(none)");
  };
  const std::string database = settings_.profile.ConnectionPrefix + root + "\\DB_Data\\TarnVel.fdb";
  // The stand-in for the Firebird service runs, as the real one would.
  ASSERT_TRUE(sys::StartServiceAndWait("", service_->Name()));
  EXPECT_EQ(verdictOf("server").rfind("ok: ", 0), 0u) << verdictOf("server");
  EXPECT_EQ(verdictOf("database").rfind("ok: ", 0), 0u) << verdictOf("database");
  firebird::DatabaseShutdown(settings_.profile.ClientLibrary, database, "SYSDBA", "kelpdromux", [](auto) {});
  const std::string shutDown = verdictOf("database");
  EXPECT_FALSE(DatabaseOnlineFor(root)) << "the check brought the database online";
  firebird::DatabaseOnLine(settings_.profile.ClientLibrary, database, "SYSDBA", "kelpdromux");
  EXPECT_EQ(shutDown.rfind("blocks: ", 0), 0u) << shutDown;
  EXPECT_TRUE(DatabaseOnlineFor(root));
  sys::StopServiceAndWait("", service_->Name());
}

TEST_F(WineServerRun, DatabaseCommands) {
  const std::string root = Root("modes");
  PlayDbModeCycle(settings_, root, [&] { return DatabaseOnlineFor(root); });
}
#endif

}  // namespace
}  // namespace tarnvel
