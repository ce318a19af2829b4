// The check before an update, on a product whose database the real Firebird
// server serves: each state an update would meet is named with its verdict,
// the exit code says whether anything blocks, and nothing is changed: no
// file of the product, no database mode, no service action.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>

#include "console/posix/console_server_fixture.h"
#include "firebird/client_layers.h"
#include "firebird/db_connection.h"
#include "firebird/db_services.h"
#include "update/preflight_check.h"

namespace tarnvel::console {
namespace {

using namespace testing;
namespace fs = std::filesystem;

// A program whose current folder lies inside Folder, as a shell an operator
// left open there; ended with the test.
class ProgramInFolder {
 public:
  explicit ProgramInFolder(const std::string& folder) {
    pid_ = fork();
    if (pid_ == 0) {
      if (chdir(folder.c_str()) == 0) execl("/bin/sleep", "sleep", "60", static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  ~ProgramInFolder() {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  pid_t Pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
};

class ConsoleCheck : public ConsoleServerRun {
 protected:
  int RunCheck(ConsoleEnvironment env) {
    env.serviceState = [](const std::string& name) { return sys::GetServiceState("", name); };
    return RunConsoleCommand({"check"}, std::move(env));
  }

  // The verdicts the report gives Topic, in order.
  std::string Verdicts(const std::string& topic) const {
    std::string verdicts;
    const JsonValue report = Report();
    for (const JsonValue& finding : report["findings"].array) {
      if (finding["topic"].string == topic) verdicts += (verdicts.empty() ? "" : " ") + finding["verdict"].string;
    }
    return verdicts;
  }
  std::string Text(const std::string& topic) const {
    const JsonValue report = Report();
    for (const JsonValue& finding : report["findings"].array) {
      if (finding["topic"].string == topic) return finding["text"].string;
    }
    return {};
  }

  // What a check must leave as it is: the client part whole, and no entry
  // added to or taken from the product folder (the database file changes
  // with every attachment, so its mode is checked instead).
  std::vector<std::pair<std::string, std::string>> ProductState() const {
    auto state = TreeContents(root_ + "/Program");
    for (const auto& entry : fs::directory_iterator(root_)) state.emplace_back(entry.path().filename().string(), "");
    std::sort(state.begin(), state.end());
    return state;
  }

  void Shutdown() { firebird::DatabaseShutdown(settings_.profile.ClientLibrary, Database(), "SYSDBA", password_, [](auto) {}); }
  void Online() { firebird::DatabaseOnLine(settings_.profile.ClientLibrary, Database(), "SYSDBA", password_); }
};

TEST_F(ConsoleCheck, EachStateAnUpdateWouldMeetIsNamedAndNothingChanges) {
  firebird::ConnectionLayer().Select(settings_.profile.ClientLibrary);
  const struct Case {
    const char* state;
    // Arranges the state; what it returns is kept until the check has run.
    std::function<std::shared_ptr<void>(ConsoleEnvironment&)> arrange;
    const char* topic;
    const char* verdicts;
    int exitCode;
  } cases[] = {
      {"nothing in the way", [](ConsoleEnvironment&) { return std::shared_ptr<void>(); }, "parts", "ok", 0},
      {"a user attached",
       [this](ConsoleEnvironment&) {
         auto clerk = std::make_shared<firebird::TDBConnection>(Database(), "CLERK1", "clerk1pw", "");
         clerk->Connect();
         return std::static_pointer_cast<void>(clerk);
       },
       "users", "warning", 0},
      {"the database shut down",
       [this](ConsoleEnvironment&) {
         Shutdown();
         return std::shared_ptr<void>(nullptr, [this](void*) { Online(); });
       },
       "database", "blocks", 5},
      {"a program in the product folder",
       [this](ConsoleEnvironment&) { return std::static_pointer_cast<void>(std::make_shared<ProgramInFolder>(root_ + "/Program")); },
       "holders", "blocks", 5},
      {"no payload in the program",
       // The resource lookup is the program's own; a build without a payload
       // cannot be made from this tree, so the lookup finds none.
       [](ConsoleEnvironment& env) {
         env.form.findResource = [real = env.form.findResource](std::string_view type, std::string_view name) {
           return type == "EXEFILE" ? std::nullopt : real(type, name);
         };
         return std::shared_ptr<void>();
       },
       "payload", "blocks", 5},
      {"a log folder that takes no files",
       [this](ConsoleEnvironment&) {
         WriteFile(bin_.path() / "Logs", "a file where the log folder belongs");
         return std::shared_ptr<void>();
       },
       "log", "blocks", 5},
      {"what an interrupted update left",
       [this](ConsoleEnvironment&) {
         fs::create_directories(root_ + "_");
         fs::create_directories(root_ + "/Tmp$010126120000/Old/Program");
         return std::shared_ptr<void>(nullptr, [this](void*) { fs::remove_all(root_ + "_"); });
       },
       "leftovers", "blocks warning", 5},
      {"no rights",
       [](ConsoleEnvironment& env) {
         env.form.missingRunRights = [] { return std::vector<std::string>{"euid 0"}; };
         return std::shared_ptr<void>();
       },
       "rights", "blocks", 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.state);
    fs::remove_all(bin_.path());
    out_.str("");
    err_.str("");
    const auto before = ProductState();
    const bool onlineBefore = DatabaseOnline();
    ConsoleEnvironment env = Environment();
    int code = -1;
    {
      const std::shared_ptr<void> state = c.arrange(env);
      code = RunCheck(std::move(env));
      EXPECT_EQ(DatabaseOnline(), std::string(c.topic) == "database" ? false : onlineBefore);
    }
    EXPECT_EQ(code, c.exitCode) << out_.str() << err_.str();
    EXPECT_EQ(Verdicts(c.topic), c.verdicts) << out_.str();
    EXPECT_EQ(Report()["command"].string, "check");
    EXPECT_EQ(Report()["outcome"].string, c.exitCode == 0 ? "succeeded" : "blocked");
    // The table names the finding as the report does.
    EXPECT_NE(out_.str().find(Text(c.topic).substr(0, 40)), std::string::npos) << out_.str();
    fs::remove_all(root_ + "/Tmp$010126120000");
    EXPECT_TRUE(ProductState() == before) << "the check changed the product";
    EXPECT_EQ(ServiceActions(), "") << "the check stopped or started the service";
  }
}

TEST_F(ConsoleCheck, TheHeldProgramAndTheAttachedUserAreNamed) {
  firebird::ConnectionLayer().Select(settings_.profile.ClientLibrary);
  firebird::TDBConnection clerk(Database(), "CLERK1", "clerk1pw", "");
  clerk.Connect();
  const ProgramInFolder shell(root_ + "/DB_Data");
  EXPECT_EQ(RunCheck(Environment()), 5) << err_.str();
  EXPECT_NE(Text("users").find("1 (CLERK1)"), std::string::npos) << Text("users");
  EXPECT_NE(Text("holders").find("sleep (PID " + std::to_string(shell.Pid()) + ")"), std::string::npos)
      << Text("holders");
  // The server holds the online database too; the update's shutdown
  // releases it, so it is not named among what stands in the way.
  EXPECT_EQ(Text("holders").find("firebird"), std::string::npos) << Text("holders");
}

TEST_F(ConsoleCheck, TooLittleSpaceForTheFreeSpaceCheckBlocks) {
  ASSERT_NO_FATAL_FAILURE(MoveProductToVolume(64, "--db-mb 20"));
  if (IsSkipped()) return;
  const auto before = ProductState();
  EXPECT_EQ(RunCheck(Environment()), 5) << out_.str();
  EXPECT_EQ(Verdicts("space"), "blocks") << Text("space");
  EXPECT_NE(Text("space").find("\"" + mountPoint_ + "/\""), std::string::npos) << Text("space");
  EXPECT_TRUE(ProductState() == before);
  EXPECT_EQ(ServiceActions(), "");
  EXPECT_TRUE(DatabaseOnline()) << AttachAs("CLERK1", "clerk1pw");
}

}  // namespace
}  // namespace tarnvel::console
