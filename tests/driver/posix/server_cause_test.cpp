// A failure of the Firebird server that an operator meets is named in the
// operator's language on a line of its own, before the server's own text,
// which stays as the server worded it. Each is arranged for real on the
// server of this machine; the run meets it at its first server call.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include "driver/posix/server_fixture.h"
#include "i18n/ldm.h"
#include "support/local_port.h"
#include "sysroutines/child_process.h"
#include "sysroutines/folder_holders.h"

namespace tarnvel {
namespace {

using namespace testing;
namespace fs = std::filesystem;

int Shell(const std::string& command) {
  return std::system((command + " >/dev/null 2>&1").c_str());
}

class ServerCause : public ServerRun {
 protected:
  std::string DatabaseFile() const { return Child(Child(root_, "DB_Data"), "TarnVel.fdb"); }

  // gfix on the product's database through the server.
  void Gfix(const std::string& arguments) const {
    ASSERT_EQ(Shell("gfix " + arguments + " -user SYSDBA -password kelpdromux '" + Database() + "'"), 0)
        << arguments;
  }

  // Another engine opens the database file by itself (isql without a host
  // runs Firebird's embedded engine) and keeps it until EndAll: the server
  // can no longer open it.
  void HoldWithAnotherEngine() {
    holder_ = std::make_unique<sys::ChildProcess>();
    const std::string command = "/bin/sh -c \"sleep 120 | isql-fb -q -user SYSDBA '" + DatabaseFile() + "'\"";
    ASSERT_TRUE(holder_->Start(command, "/bin/sh", productsDir_, 0));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!HeldByIsql() && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_TRUE(HeldByIsql()) << "isql-fb did not open " << DatabaseFile();
  }

  bool HeldByIsql() const {
    for (const sys::FolderHolder& holder : sys::FindFolderHolders(Child(root_, "DB_Data"))) {
      if (holder.programName == "isql-fb") return true;
    }
    return false;
  }

  std::unique_ptr<sys::ChildProcess> holder_;
};

TEST_F(ServerCause, EachFailureAnOperatorMeetsIsNamedBeforeTheServersText) {
  int silentPort = 3052;
  while (LocalPortAnswers(silentPort)) ++silentPort;
  const std::string prefix = settings_.profile.ConnectionPrefix;
  struct stat original {};
  ASSERT_EQ(stat(DatabaseFile().c_str(), &original), 0);

  const struct {
    const char* what;
    std::string password;
    std::function<void()> arrange, undo;
    const char* cause;
    std::string serverText;  // how the server's own text begins
  } cases[] = {
      {"wrong password", "wrong", [] {}, [] {}, "uUpdate_ServerAdvice_2", "ISC ERROR CODE:335544472\r\n"},
      {"nobody listens", "kelpdromux",
       [&] { settings_.profile.ConnectionPrefix = "localhost/" + std::to_string(silentPort) + ":"; },
       [&] { settings_.profile.ConnectionPrefix = prefix; }, "uUpdate_ServerAdvice_1",
       "ISC ERROR CODE:335544721\r\n"},
      // The server looks for the file under another root than the updater.
      {"database file not found", "kelpdromux",
       [&] { settings_.profile.ConnectionPrefix = prefix + "/no-such-root"; },
       [&] { settings_.profile.ConnectionPrefix = prefix; }, "uUpdate_ServerAdvice_3",
       "ISC ERROR CODE:335544344\r\n"},
      {"database file the server may not read", "kelpdromux",
       [&] {
         ASSERT_EQ(chown(DatabaseFile().c_str(), 0, 0), 0);
         ASSERT_EQ(chmod(DatabaseFile().c_str(), 0600), 0);
       },
       [&] {
         ASSERT_EQ(chown(DatabaseFile().c_str(), original.st_uid, original.st_gid), 0);
         ASSERT_EQ(chmod(DatabaseFile().c_str(), original.st_mode & 07777), 0);
       },
       "uUpdate_ServerAdvice_3", "ISC ERROR CODE:335544344\r\n"},
      {"database shut down", "kelpdromux", [&] { Gfix("-shut full -force 0"); }, [&] { Gfix("-online"); },
       "uUpdate_ServerAdvice_4", "ISC ERROR CODE:335544528\r\n"},
      {"database held by another engine", "kelpdromux", [&] { HoldWithAnotherEngine(); },
       [&] { holder_->EndAll(); }, "uUpdate_ServerAdvice_5", "ISC ERROR CODE:335544344\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    host_ = ScriptedHost();
    host_.Answer(DialogButton::Yes);
    c.arrange();
    const std::string text = Run(c.password);
    c.undo();
    const std::string head = Text(c.cause) + "\r\n" + c.serverText;
    EXPECT_EQ(text.substr(0, head.size()), head) << text;
    EXPECT_EQ(host_.entries, InitEntries() + Entries({"8"}));
    EXPECT_EQ(ServiceActions(), "");
    EXPECT_TRUE(DatabaseOnline()) << AttachAs("CLERK1", "clerk1pw");
  }
}

// In the Russian window (and console) the line is Russian; the server's
// text after it stays as the server wrote it.
TEST_F(ServerCause, TheLineIsInTheOperatorsLanguage) {
  i18n::LDM().Sild.SetActiveLanguage(2);
  host_.Answer(DialogButton::Yes);
  const std::string text = Run("wrong");
  i18n::LDM().Sild.SetActiveLanguage(3);
  const std::string head =
      "Сервер Firebird отклонил имя пользователя или пароль: проверьте пароль SYSDBA и повторите.\r\n"
      "ISC ERROR CODE:335544472\r\n\r\nISC ERROR MESSAGE:\r\nYour user name and password are not defined.";
  EXPECT_EQ(text.substr(0, head.size()), head) << text;
}

}  // namespace
}  // namespace tarnvel
