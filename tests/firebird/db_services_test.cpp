// The database services against the real server: forced shutdown, online,
// attached users, and the argument checks before them.
#include "firebird/db_services.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "firebird/client_layers.h"
#include "firebird/db_connection.h"
#include "firebird/firebird_error.h"
#include "firebird/firebird_test_server.h"
#include "firebird/fresh_process.h"
#include "firebird/header_mode.h"
#include "firebird/server_failure.h"

namespace tarnvel::firebird {
namespace {

using testing::ClientLibraryName;
using testing::kSysdbaPassword;
using testing::TestDatabase;

const char* const kSameMode = "Target shutdown mode is invalid for database";

TEST(CheckDatabaseParams, FirstBlankArgumentInOrder) {
  const struct {
    const char* library;
    const char* database;
    const char* user;
    const char* password;
    const char* text;  // nullptr: passes
  } cases[] = {
      {"", "", "", "", "The client's library was not specified!"},
      {" \t", "db", "u", "p", "The client's library was not specified!"},
      {"lib", " \r\n", "", "", "The database was not specified!"},
      {"lib", "db", "  ", "p", "The user's name was not specified!"},
      {"lib", "db", "u", "   ", "The password was not specified!"},
      {"lib", "db", "u", "\t", "The password was not specified!"},
      {" lib ", " db ", " u ", " p ", nullptr},
  };
  for (const auto& c : cases) {
    if (c.text == nullptr) {
      EXPECT_NO_THROW(CheckDatabaseParams(c.library, c.database, c.user, c.password));
      continue;
    }
    try {
      CheckDatabaseParams(c.library, c.database, c.user, c.password);
      ADD_FAILURE() << c.text << ": no error";
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), c.text);
    }
  }
}

TEST(RemoveOwnUser, FirstMatchOnlyWithoutRegardToCase) {
  std::vector<std::string> users{"CLERK1", "SYSDBA", "CLERK2", "SYSDBA"};
  RemoveOwnUser(users, "sysdba");
  EXPECT_EQ(users, (std::vector<std::string>{"CLERK1", "CLERK2", "SYSDBA"}));
  RemoveOwnUser(users, "nobody");
  EXPECT_EQ(users.size(), 3u);
}

// Run in a process whose client libraries are not loaded yet: a value that
// cannot be sent must be refused before the (here unloadable) library is
// looked for, as the other routines do.
const bool kAttachedUsersRegistered = testing::RegisterFreshProcessCase("AttachedUsersCheckValuesFirst", [] {
  const std::string unloadable = "tarnvel_no_such_fbclient_library";
  const std::string database = TestDatabase("users.fdb");
  const std::string tooLong(256, 'x');
  const struct {
    std::string database;
    std::string user;
    std::string role;
    const char* text;
  } cases[] = {
      {database, tooLong, "", "Invalid DPB: Contents over 255 characters"},
      {database, "SYSDBA", tooLong, "Invalid DPB: Contents over 255 characters"},
      {"localhost/3051:C:Data.fdb", "SYSDBA", "", "Invalid connection path"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> users{"kept"};
    try {
      GetAttachedUsers(unloadable, c.database, c.user, kSysdbaPassword, c.role, users);
      ADD_FAILURE() << c.text << ": no error";
    } catch (const std::runtime_error& e) {
      ADD_FAILURE() << c.text << ": " << e.what();
    } catch (const std::invalid_argument& e) {
      EXPECT_STREQ(e.what(), c.text);
    }
    EXPECT_EQ(users, std::vector<std::string>{"kept"});
  }
});

TEST(GetAttachedUsers, ChecksEveryValueBeforeLoadingTheLibrary) {
  testing::RunInFreshProcess("AttachedUsersCheckValuesFirst");
}

class DatabaseServices : public ::testing::Test {
 protected:
  void SetUp() override {
    TARNVEL_REQUIRE_CLIENT_LIBRARY();
    library_ = ClientLibraryName();
    ConnectionLayer().Select(library_);
  }

  // An attachment of another user, held for the test.
  void Attach(const std::string& database, const std::string& user, const std::string& password) {
    others_.push_back(std::make_unique<TDBConnection>(database, user, password, ""));
    others_.back()->Connect();
  }

  template <typename Call>
  EFirebirdError ExpectError(Call call) {
    try {
      call();
    } catch (const EFirebirdError& e) {
      return e;
    }
    ADD_FAILURE() << "no error";
    return EFirebirdError("", 0, 0);
  }

  std::string library_;
  std::vector<std::unique_ptr<TDBConnection>> others_;
};

TEST_F(DatabaseServices, ShutdownCutsOthersOffAndEachModeTwiceFails) {
  const std::string database = TestDatabase("modes.fdb");
  Attach(database, "CLERK1", "clerk1pw");
  std::vector<std::chrono::milliseconds> pauses;
  const Pause record = [&](std::chrono::milliseconds ms) { pauses.push_back(ms); };

  auto mode = [&] { return ParseHeaderMode(DatabaseHeaderText(library_, database, "SYSDBA", kSysdbaPassword)); };
  EXPECT_FALSE(mode().shutDown) << mode().attributes;
  DatabaseShutdown(library_, database, "SYSDBA", kSysdbaPassword, record);
  // The header says so, read by the server from the file of a shut-down database.
  EXPECT_TRUE(mode().shutDown) << mode().attributes;
  EXPECT_EQ(pauses, std::vector<std::chrono::milliseconds>{std::chrono::milliseconds(2000)});
  // The shut-down database still lets SYSDBA in, and nobody else is attached.
  std::vector<std::string> users{"stale"};
  GetAttachedUsers(library_, database, "SYSDBA", kSysdbaPassword, "", users);
  EXPECT_TRUE(users.empty()) << users.front();

  const EFirebirdError again =
      ExpectError([&] { DatabaseShutdown(library_, database, "SYSDBA", kSysdbaPassword, record); });
  EXPECT_NE(std::string(again.what()).find(kSameMode), std::string::npos) << again.what();
  EXPECT_NE(again.IscCode(), 0);
  EXPECT_EQ(pauses.size(), 1u);  // no pause after a refused request

  DatabaseOnLine(library_, database, "SYSDBA", kSysdbaPassword);
  const EFirebirdError online =
      ExpectError([&] { DatabaseOnLine(library_, database, "SYSDBA", kSysdbaPassword); });
  EXPECT_NE(std::string(online.what()).find(kSameMode), std::string::npos) << online.what();
  // Online again: others may attach.
  EXPECT_FALSE(mode().shutDown) << mode().attributes;
  Attach(database, "CLERK2", "clerk2pw");
}

TEST_F(DatabaseServices, ServerRefusalsCarryItsMessages) {
  const std::string users = testing::TestDatabasePath("users.fdb");
  const std::string missing = testing::TestDatabasePath("missing.fdb");
  const struct {
    const char* what;
    std::string database;
    std::string password;
    ISC_STATUS code;
    std::string text;  // the start of the error text
    ServerFailure kind;
  } cases[] = {
      {"wrong password", TestDatabase("users.fdb"), "wrong", 335544472,
       "Your user name and password are not defined. Ask your database administrator to set up a Firebird "
       "login",
       ServerFailure::LoginRefused},
      {"unknown database", TestDatabase("missing.fdb"), kSysdbaPassword, 335544344,
       "I/O error during \"open\" operation for file \"" + missing + "\"", ServerFailure::DatabaseFile},
      {"stopped server", testing::kStoppedServer + ":" + users, kSysdbaPassword, 335544721,
       "Unable to complete network request to host \"localhost\".\r\nFailed to establish a connection",
       ServerFailure::Unreachable},
  };
  for (const auto& c : cases) {
    for (const bool shutdown : {true, false}) {
      const EFirebirdError e = ExpectError([&] {
        if (shutdown) {
          DatabaseShutdown(library_, c.database, "SYSDBA", c.password, [](auto) {});
        } else {
          DatabaseOnLine(library_, c.database, "SYSDBA", c.password);
        }
      });
      const std::string text = e.what();
      EXPECT_EQ(e.IscCode(), c.code) << c.what << ": " << text;
      EXPECT_EQ(e.IscCodes().front(), c.code) << c.what;
      EXPECT_EQ(ClassifyServerFailure(e.IscCodes()), c.kind) << c.what;
      EXPECT_EQ(text.substr(0, c.text.size()), c.text) << c.what;
      EXPECT_NE(text.back(), '.') << c.what;
      EXPECT_NE(e.SqlCode(), 0) << c.what;
    }
  }
}

TEST_F(DatabaseServices, AttachedUsersInTheServersOrderWithoutOurOwn) {
  const std::string database = TestDatabase("users.fdb");
  std::vector<std::string> users{"stale"};
  GetAttachedUsers(library_, database, "SYSDBA", kSysdbaPassword, "", users);
  EXPECT_TRUE(users.empty()) << "only our own attachment, yet: " << users.front();

  Attach(database, "SYSDBA", kSysdbaPassword);
  Attach(database, "CLERK1", "clerk1pw");
  Attach(database, "CLERK2", "clerk2pw");
  Attach(database, "CLERK1", "clerk1pw");
  // The server lists the newest attachment first; ours is removed.
  const std::vector<std::string> others{"CLERK1", "CLERK2", "CLERK1", "SYSDBA"};
  GetAttachedUsers(library_, database, "SYSDBA", kSysdbaPassword, "", users);
  EXPECT_EQ(users, others);
  GetAttachedUsers(library_, database, "sysdba", kSysdbaPassword, "", users);
  EXPECT_EQ(users, others);  // lower case removes one upper-case entry

  // A failure leaves the list as it was.
  EXPECT_THROW(GetAttachedUsers(library_, database, "SYSDBA", "wrong", "", users), EFirebirdError);
  EXPECT_THROW(GetAttachedUsers(library_, TestDatabase("missing.fdb"), "SYSDBA", kSysdbaPassword, "", users),
               EFirebirdError);
  EXPECT_EQ(users, others);
}

TEST_F(DatabaseServices, AttachedUsersRefusalUsesTheAttachText) {
  std::vector<std::string> users;
  const EFirebirdError e = ExpectError(
      [&] { GetAttachedUsers(library_, TestDatabase("users.fdb"), "SYSDBA", "wrong", "", users); });
  EXPECT_EQ(std::string(e.what()).rfind("ISC ERROR CODE:335544472\r\n\r\nISC ERROR MESSAGE:\r\n", 0), 0u)
      << e.what();
}

// A header that cannot be read says why, in the server's words.
TEST_F(DatabaseServices, HeaderOfAMissingDatabaseIsTheServersRefusal) {
  const EFirebirdError e = ExpectError(
      [&] { DatabaseHeaderText(library_, TestDatabase("missing.fdb"), "SYSDBA", kSysdbaPassword); });
  EXPECT_NE(std::string(e.what()).find("missing.fdb"), std::string::npos) << e.what();
  const EFirebirdError login =
      ExpectError([&] { DatabaseHeaderText(library_, TestDatabase("users.fdb"), "SYSDBA", "wrong"); });
  EXPECT_EQ(login.IscCode(), 335544472) << login.what();
}

}  // namespace
}  // namespace tarnvel::firebird
