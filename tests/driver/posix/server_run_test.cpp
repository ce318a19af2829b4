// Whole update runs of products with a SERVER part against the real Firebird
// server: the run really shuts the database down, stops and starts the
// server, and brings the database back online. Faults are injected at exact
// run-log entries.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "driver/posix/server_fixture.h"
#include "firebird/client_layers.h"
#include "firebird/db_connection.h"
#include "firebird/db_services.h"
#include "firebird/server_discovery.h"
#include "i18n/ldm.h"
#include "support/sysroutines_child_process.h"
#include "sysroutines/paths.h"
#include "sysroutines/registry.h"
#include "update/update_context.h"

namespace tarnvel {
namespace {

using namespace testing;
namespace fs = std::filesystem;

// Entries of steps 6 to 10 on a SuperServer without other attachments.
std::vector<std::string> ServerPreparation() {
  return Entries({"8", "18", "19", "21", "22", "23", "24", "26", "27"});
}

std::string NewDirEntry() {
  return Text("41", sys::IncludeTrailingPathDelimiter(CurrentUpdateContext().NewDir));
}

TEST_F(ServerRun, BothPartsOnSuperServer) {
  const auto program = TreeContents(root_ + "/Program");
  host_.Answer(DialogButton::Yes);
  EXPECT_EQ(Run(), "(no failure)");

  EXPECT_EQ(host_.entries, InitEntries() + ServerPreparation() +
                               Entries({"32", "35", "36", "37", "38", "39", "uIS_TarnVel_8"}) +
                               std::vector<std::string>{NewDirEntry()} + Entries({"48", "49"}));
  ASSERT_EQ(host_.dialogs.size(), 1u);  // only the confirmation: nobody else was attached
  EXPECT_EQ(host_.dialogs[0].text,
            i18n::GetMessageText("uUpdate_UpdateProgramm_5", root_, Text("1"), "Tarnvel"));
  // The server was really stopped and started again, and answers.
  EXPECT_EQ(ServiceActions(), "stop stop start ");
  EXPECT_TRUE(ServerAnswers(true));
  EXPECT_TRUE(DatabaseOnline()) << AttachAs("CLERK1", "clerk1pw");
  // Client replaced; both parts backed up.
  EXPECT_TRUE(ReadFile(root_ + "/Program/TarnVel.exe") == NewClientBytes()) << "not the new client";
  const std::string tmp = WorkingFolder(root_);
  EXPECT_EQ(TreeContents(tmp + "/Old/Program"), program);
  EXPECT_EQ(TreeContents(tmp + "/Old/DB_Data").size(), 1u);
  EXPECT_EQ(fs::file_size(tmp + "/Old/DB_Data/TarnVel.fdb"), fs::file_size(root_ + "/DB_Data/TarnVel.fdb"));
  EXPECT_FALSE(fs::exists(tmp + "/New"));
}

TEST_F(ServerRun, TheServerAsDiscoveryFindsItInTheRegistryFile) {
  // The product's own service, as its installer registers it.
  const std::string serverDir = serviceDir_ / "Firebird";
  fs::create_directories(serverDir + "/bin");
  WriteFile(serviceDir_.path() / "registry.reg",
            "Windows Registry Editor Version 5.00\r\n\r\n"
            "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\NorvaskFireXBirdServer]\r\n"
            "\"ImagePath\"=\"" +
                serverDir + "/bin/FBSRVTRVL -s -p 3051\"\r\n");
  setenv(sys::kRegistryFileVariable, (serviceDir_ / "registry.reg").c_str(), 1);
  firebird::TFBServParams discovered;
  firebird::GetFBServParams(discovered);
  unsetenv(sys::kRegistryFileVariable);
  EXPECT_EQ(discovered.ServerType, "SUPER");
  EXPECT_EQ(discovered.ServiceName, "NorvaskFireXBirdServer");
  EXPECT_EQ(discovered.ServerPrefix, "localhost/3051:");

  settings_.ServerParams = discovered;
  host_.Answer(DialogButton::Yes);
  EXPECT_EQ(Run(), "(no failure)");
  EXPECT_EQ(ServiceActions(), "stop stop start ");
  EXPECT_TRUE(ServerAnswers(true));
  EXPECT_TRUE(DatabaseOnline());
}

TEST_F(ServerRun, OtherServerTypesWarnThatTheServerStops) {
  for (const std::string type : {"CLASSIC", ""}) {
    SCOPED_TRACE(type);
    host_ = ScriptedHost();
    settings_.ServerParams.ServerType = type;
    host_.Answer(DialogButton::Yes);
    host_.Answer(DialogButton::Yes);
    EXPECT_EQ(Run(), "(no failure)");
    EXPECT_EQ(host_.entries, InitEntries() +
                                 Entries({"14", "17", "18", "19", "21", "22", "23", "24", "26", "27", "32",
                                          "35", "36", "37", "38", "39", "uIS_TarnVel_8"}) +
                                 std::vector<std::string>{NewDirEntry()} + Entries({"48", "49"}));
    ASSERT_EQ(host_.dialogs.size(), 2u);
    EXPECT_EQ(host_.dialogs[1].type, DialogType::Warning);
    EXPECT_EQ(host_.dialogs[1].text, Text("15"));
    EXPECT_EQ(host_.dialogs[1].defaultButton, DialogButton::Yes);
    EXPECT_EQ(host_.dialogs[1].escapeButton, DialogButton::No);
    EXPECT_TRUE(DatabaseOnline());
  }
  // Declined: logged, silent, nothing changed.
  host_ = ScriptedHost();
  host_.Answer(DialogButton::Yes);
  host_.Answer(DialogButton::No);
  EXPECT_EQ(Run(), "(silent abort)");
  EXPECT_EQ(host_.entries, InitEntries() + Entries({"14", "16"}));
  EXPECT_TRUE(DatabaseOnline());
}

TEST_F(ServerRun, OnlyTheServerPart) {
  ASSERT_NO_FATAL_FAILURE(MakeProduct("--server-only"));
  host_.Answer(DialogButton::Yes);
  EXPECT_EQ(Run(), "(no failure)");
  ASSERT_EQ(host_.dialogs.size(), 1u);
  EXPECT_NE(host_.dialogs[0].text.find(Text("3")), std::string::npos);
  EXPECT_EQ(host_.entries, InitEntries() + ServerPreparation() +
                               Entries({"32", "35", "36", "37", "38", "39"}) +
                               std::vector<std::string>{NewDirEntry()} + Entries({"48", "49"}));
  EXPECT_TRUE(fs::exists(WorkingFolder(root_) + "/Old/DB_Data/TarnVel.fdb"));
  EXPECT_FALSE(fs::exists(WorkingFolder(root_) + "/Old/Program"));
  EXPECT_TRUE(DatabaseOnline());
}

TEST_F(ServerRun, TheAdmnPasswordIsRequiredOnlyForTheProductsOwnServerPart) {
  // Declining the stop warning of a CLASSIC server ends each run right after
  // the password rule, with nothing changed.
  settings_.ServerParams.ServerType = "CLASSIC";
  const struct {
    const char* key;
    const char* admn;
    bool refused;
  } cases[] = {{"Tarnvel", "", true}, {"Tarnvel", " ", false}, {"TARNVEL", "", false}, {"Other", "", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.key) + "/" + c.admn);
    host_ = ScriptedHost();
    host_.Answer(DialogButton::Yes);
    host_.Answer(DialogButton::No);
    std::string text = "(silent abort)";
    try {
      UpdateProgramm(host_, settings_, root_, "kelpdromux", c.admn, c.key);
    } catch (const SilentAbort&) {
    } catch (const std::exception& failure) {
      text = failure.what();
    }
    EXPECT_EQ(text, c.refused ? Text("7") : "(silent abort)");
    EXPECT_EQ(host_.dialogs.size(), c.refused ? 1u : 2u);
  }
  EXPECT_TRUE(DatabaseOnline());
}

TEST_F(ServerRun, AttachedUsersAreListedAndTheOperatorMayStop) {
  firebird::ConnectionLayer().Select(settings_.profile.ClientLibrary);
  std::vector<std::unique_ptr<firebird::TDBConnection>> clerks;
  for (const auto& [user, password] :
       {std::pair{"CLERK1", "clerk1pw"}, {"CLERK2", "clerk2pw"}, {"CLERK1", "clerk1pw"}}) {
    clerks.push_back(std::make_unique<firebird::TDBConnection>(Database(), user, password, ""));
    clerks.back()->Connect();
  }
  host_.Answer(DialogButton::Yes);
  host_.Answer(DialogButton::No);
  EXPECT_EQ(Run(), "(silent abort)");
  EXPECT_EQ(host_.entries, InitEntries() + Entries({"8", "9", "12"}));
  ASSERT_EQ(host_.dialogs.size(), 2u);
  const DialogRequest& users = host_.dialogs[1];
  EXPECT_EQ(users.type, DialogType::Warning);
  EXPECT_EQ(users.defaultButton, DialogButton::Yes);
  const std::string head = Text("10");
  ASSERT_EQ(users.text.rfind(head, 0), 0u) << users.text;
  const std::string names = users.text.substr(head.size(), users.text.find('\r') - head.size());
  // Every attachment once, in the server's order, the own one left out.
  std::vector<std::string> listed;
  for (std::size_t from = 0;;) {
    const std::size_t to = names.find("; ", from);
    listed.push_back(names.substr(from, to - from));
    if (to == std::string::npos) break;
    from = to + 2;
  }
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(listed, (std::vector<std::string>{"CLERK1", "CLERK1", "CLERK2"})) << names;
  EXPECT_EQ(users.text, Text("11", Text("10") + names));
  EXPECT_TRUE(DatabaseOnline());

  // Going on forces them off; the run succeeds.
  host_ = ScriptedHost();
  host_.Answer(DialogButton::Yes);
  host_.Answer(DialogButton::Yes);
  EXPECT_EQ(Run(), "(no failure)");
  EXPECT_EQ(std::vector<std::string>(host_.entries.begin() + 2, host_.entries.begin() + 6),
            Entries({"8", "9", "13", "18"}));
  EXPECT_TRUE(DatabaseOnline());
}

TEST_F(ServerRun, AWrongSysdbaPasswordChangesNothing) {
  host_.Answer(DialogButton::Yes);
  const std::string text = Run("wrong-password");
  EXPECT_NE(text.find("password"), std::string::npos) << text;
  EXPECT_EQ(host_.entries, InitEntries() + Entries({"8"}));
  EXPECT_EQ(ServiceActions(), "");
  EXPECT_TRUE(DatabaseOnline());
}

TEST_F(ServerRun, ADatabaseAlreadyShutDownIsReportedAndLeftAsItIs) {
  firebird::DatabaseShutdown(settings_.profile.ClientLibrary, Database(), "SYSDBA", "kelpdromux",
                             [](std::chrono::milliseconds) {});
  ASSERT_FALSE(DatabaseOnline());
  host_.Answer(DialogButton::Yes);
  const std::string text = Run();
  const std::string head = Text("20") + "\r\r";
  ASSERT_EQ(text.rfind(head, 0), 0u) << text;
  EXPECT_NE(text.find("Target shutdown mode is invalid for database"), std::string::npos) << text;
  EXPECT_EQ(host_.entries, InitEntries() + Entries({"8", "18"}));
  EXPECT_EQ(ServiceActions(), "");
  EXPECT_FALSE(DatabaseOnline());
}

TEST_F(ServerRun, AServiceThatWillNotStartLeadsToTheManualAdvice) {
  host_.Answer(DialogButton::Yes);
  host_.OnEntry(Text("26"), [this] { RefuseServiceStart(true); });
  const std::string text = Run();
  RefuseServiceStart(false);

  EXPECT_EQ(host_.entries, InitEntries() + Entries({"8", "18", "19", "21", "22", "23", "24", "26", "28"}));
  ASSERT_EQ(host_.dialogs.size(), 2u);
  EXPECT_EQ(host_.dialogs[1].type, DialogType::Error);
  EXPECT_EQ(host_.dialogs[1].text, Text("30"));
  // Both failures, in order: the start, then the online call with its advice.
  ASSERT_EQ(text.rfind("Exception Message: ", 0), 0u) << text;
  // The online call found no server: the line saying so comes before the server's text.
  const std::size_t second = text.find("\rException Message: " + Text("31") + "\r" +
                                       Text("uUpdate_ServerAdvice_1") + "\r\nOriginal Message: ");
  ASSERT_NE(second, std::string::npos) << text;
  EXPECT_GT(second, std::string("Exception Message: ").size());
  EXPECT_FALSE(ServerAnswers());
  // Afterwards the operator's own commands recover it.
  ASSERT_EQ(std::system("/etc/init.d/firebird3.0 start >/dev/null 2>&1"), 0);
  ASSERT_TRUE(ServerAnswers(true));
  firebird::DatabaseOnLine(settings_.profile.ClientLibrary, Database(), "SYSDBA", "kelpdromux");
  EXPECT_TRUE(DatabaseOnline());
}

TEST_F(ServerRun, TheFinalOnlineCallFailsAfterAReplacement) {
  bool stopped = false;
  host_.Answer(DialogButton::Yes);
  host_.OnEntry(Text("48"), [&] {
    StopServer();
    stopped = true;
  });
  const std::string text = Run();
  ASSERT_TRUE(stopped);
  // The line saying that no server answers, then the server's own text.
  const std::string expected = "Exception Message: " + Text("50") + "\r" + Text("uUpdate_ServerAdvice_1") +
                               "\r\nOriginal Message: Unable to complete network request to host";
  EXPECT_EQ(text.rfind(expected, 0), 0u) << text;
  EXPECT_GT(text.size(), expected.size());
  EXPECT_TRUE(ReadFile(root_ + "/Program/TarnVel.exe") == NewClientBytes())
      << "not the new client";  // the files stay replaced
  EXPECT_FALSE(host_.RolledBack());
}

TEST_F(ServerRun, AHeldProductFolderIsNamedAndTheDatabaseComesBack) {
  const auto before = TreeContents(root_ + "/Program");
  const std::string holder =
      CopyProgramAs(SysroutinesTestProgram("tarnvel_test_sleeper"), root_ + "/Program", "Holder");
  ChildProcess child(holder, {});
  host_.Answer(DialogButton::Yes);
  const std::string text = Run();

  const std::string expected = Text("33", CurrentUpdateContext().RootDir) + "\r\n\r\n" + Text("53") +
                               "\r\nHolder (PID " + std::to_string(child.Id()) + ")";
  EXPECT_EQ(text, expected);
  EXPECT_EQ(host_.entries, InitEntries() + ServerPreparation() + Entries({"32", "48", "49"}));
  EXPECT_TRUE(DatabaseOnline());
  EXPECT_EQ(WorkingFolder(root_), "");
  fs::remove(holder);
  EXPECT_EQ(TreeContents(root_ + "/Program"), before);
}

// The client cannot be replaced, so nothing was changed: the rollback leaves
// every installed file where it is (the live database above all) instead of
// deleting the parts and copying them back.
TEST_F(ServerRun, AnImmutableClientIsLeftAloneAndTheRollbackRebuildsNothing) {
  MakeProduct("--program-mb 2");
  host_.Answer(DialogButton::Yes);
  const auto program = TreeContents(root_ + "/Program");
  const std::string bulk = root_ + "/Program/bulk/" + fs::directory_iterator(root_ + "/Program/bulk")->path().filename().string();
  struct stat client {}, database {};
  ASSERT_EQ(stat(bulk.c_str(), &client), 0);
  ASSERT_EQ(stat((root_ + "/DB_Data/TarnVel.fdb").c_str(), &database), 0);
  ASSERT_EQ(std::system(("chattr +i '" + root_ + "/Program/TarnVel.exe'").c_str()), 0);
  const std::string text = Run();
  std::system(("chattr -i '" + root_ + "/Program/TarnVel.exe'").c_str());

  const UpdateContext& context = CurrentUpdateContext();
  // The system's reason follows: an immutable file refuses everyone.
  const std::string copyFailure =
      Text("51", Child(context.NewDir, "TarnVel.exe"), Child(context.ProgramDir, "TarnVel.exe")) + "\r\n" +
      Text("uUpdate_SystemError_2");
  ASSERT_EQ(host_.dialogs.size(), 2u);
  EXPECT_EQ(host_.dialogs[1].text, copyFailure);
  EXPECT_EQ(text, "");  // a complete rollback
  EXPECT_TRUE(host_.RolledBack());
  EXPECT_EQ(std::vector<std::string>(host_.entries.end() - 6, host_.entries.end()),
            (std::vector<std::string>{Text("uIS_TarnVel_8"),
                                      "Exception Message: " + copyFailure + "\r" + Text("44"), Text("45"),
                                      Text("46"), Text("48"), Text("49")}));
  EXPECT_TRUE(TreeContents(root_ + "/Program") == program) << "Program changed";
  struct stat clientAfter {}, databaseAfter {};
  ASSERT_EQ(stat(bulk.c_str(), &clientAfter), 0);
  ASSERT_EQ(stat((root_ + "/DB_Data/TarnVel.fdb").c_str(), &databaseAfter), 0);
  EXPECT_EQ(clientAfter.st_ino, client.st_ino) << "Program was rebuilt";
  EXPECT_EQ(databaseAfter.st_ino, database.st_ino) << "the database was deleted and copied back";
  EXPECT_EQ(ReadFile(context.OldProgramDir + "/TarnVel.exe"), "TarnVel client, installed version\n");
  EXPECT_TRUE(DatabaseOnline());
}

TEST_F(ServerRun, AFailedReplacementIsRolledBackAndTheDatabaseComesBack) {
  const auto program = TreeContents(root_ + "/Program");
  host_.Answer(DialogButton::Yes);
  host_.OnEntry(Text("uIS_TarnVel_8"),
                [] { fs::remove(Child(CurrentUpdateContext().NewDir, "TarnVel.exe")); });
  EXPECT_EQ(Run(), "");
  EXPECT_TRUE(host_.RolledBack());
  EXPECT_EQ(std::vector<std::string>(host_.entries.end() - 4, host_.entries.end()),
            Entries({"45", "46", "48", "49"}));
  EXPECT_EQ(TreeContents(root_ + "/Program"), program);
  EXPECT_TRUE(DatabaseOnline());
}

TEST_F(ServerRun, ANewFolderThatCannotBeRemovedIsOnlyLogged) {
  host_.Answer(DialogButton::Yes);
  std::string held;
  host_.OnEntry(Text("uIS_TarnVel_8"), [&] {
    held = Child(CurrentUpdateContext().NewDir, "files.exe");
    std::system(("chattr +i '" + held + "'").c_str());
  });
  const std::string text = Run();
  std::system(("chattr -i '" + held + "'").c_str());
  EXPECT_EQ(text, "(no failure)");
  const UpdateContext& context = CurrentUpdateContext();
  EXPECT_EQ(std::vector<std::string>(host_.entries.end() - 4, host_.entries.end()),
            (std::vector<std::string>{Text("uIS_TarnVel_8"),
                                      Text("42", sys::IncludeTrailingPathDelimiter(context.TmpDir), "New"),
                                      Text("48"), Text("49")}));
  EXPECT_TRUE(ReadFile(root_ + "/Program/TarnVel.exe") == NewClientBytes()) << "not the new client";
  EXPECT_FALSE(host_.RolledBack());
}

}  // namespace
}  // namespace tarnvel
