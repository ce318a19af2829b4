// TDBConnection: the parameters it keeps, the checks made before anything is
// sent, and attaching to the real server.
#include "firebird/db_connection.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "firebird/client_layers.h"
#include "firebird/firebird_error.h"
#include "firebird/firebird_test_server.h"

namespace tarnvel::firebird {
namespace {

using testing::ClientLibraryName;
using testing::kSysdbaPassword;
using testing::TestDatabase;

// A library that cannot be loaded: any attempt to contact the server through
// it would fail with the library text instead of the one expected.
const std::string kUnloadableLibrary = "tarnvel_no_such_fbclient_library";

TEST(TDBConnection, ConstructionSetsParametersAndContactsNothing) {
  ConnectionLayer().Select(kUnloadableLibrary);
  {
    TDBConnection connection("localhost/3051:C:\\Data\\Base.fdb", " SYSDBA ", " pw ", "");
    const TDBConnectionParams& p = connection.Connection();
    EXPECT_EQ(p.CharacterSet, "WIN1251");
    EXPECT_FALSE(p.LoginPrompt);
    EXPECT_EQ(p.PageSize, 4096);
    EXPECT_EQ(p.SQLDialect, 3);
    EXPECT_EQ(p.Protocol, TProtocol::TCP);
    EXPECT_EQ(p.Server, "localhost/3051");
    EXPECT_EQ(p.DatabaseName, "C:\\Data\\Base.fdb");
    EXPECT_EQ(p.UserName, " SYSDBA ");
    EXPECT_EQ(p.Password, " pw ");
    EXPECT_FALSE(connection.Connected());
    EXPECT_THROW(connection.Library(), std::logic_error);  // no library the handle belongs to
    connection.Disconnect();                               // nothing to do
  }  // destruction of a never attached object sends nothing
  TDBConnection local("C:\\Data\\Base.fdb", "SYSDBA", "pw", "");
  EXPECT_EQ(local.Connection().Protocol, TProtocol::Local);
  EXPECT_EQ(local.Connection().Server, "");
}

TEST(TDBConnection, PathAndDpbChecksComeBeforeAnythingIsSent) {
  ConnectionLayer().Select(kUnloadableLibrary);
  const struct {
    const char* database;
    std::string user;
    const char* text;
  } cases[] = {
      {"localhost/3051:C:Data.fdb", "SYSDBA", "Invalid connection path"},
      {"srv:a:b.fdb", "SYSDBA", "Invalid connection path"},
      {"localhost/3051:/db/x.fdb", std::string(256, 'U'), "Invalid DPB: Contents over 255 characters"},
  };
  for (const auto& c : cases) {
    TDBConnection connection(c.database, c.user, "pw", "");
    try {
      connection.Connect();
      ADD_FAILURE() << c.database << ": no error";
    } catch (const std::invalid_argument& e) {
      EXPECT_STREQ(e.what(), c.text) << c.database;
    }
    EXPECT_FALSE(connection.Connected());
  }
}

TEST(ConnectionPath, ColonMustBeFollowedByADelimiter) {
  const struct {
    const char* path;
    bool valid;
  } cases[] = {
      {"C:\\Data\\Base.fdb", true},
      {"C:/Data/Base.fdb", true},
      {"/srv/db.fdb", true},
      {"C:", true},  // a ":" at the end is not checked
      {"C:Data", false},
      {"\"C:Data\"", true},  // inside double quotes
      {"C:\\a\"b:c\"", true},
      {"C:\\a:b", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsValidConnectionPath(c.path), c.valid) << c.path;
}

class TDBConnectionOnServer : public ::testing::Test {
 protected:
  void SetUp() override {
    TARNVEL_REQUIRE_CLIENT_LIBRARY();
    ConnectionLayer().Select(ClientLibraryName());
  }
};

TEST_F(TDBConnectionOnServer, AttachesOnceAndDetaches) {
  // Blanks around the user name are dropped; an empty role sends no role.
  TDBConnection connection(TestDatabase("users.fdb"), "  SYSDBA  ", kSysdbaPassword, "");
  connection.Connect();
  ASSERT_TRUE(connection.Connected());
  const isc_db_handle handle = *connection.Handle();
  connection.Connect();  // already attached: nothing happens
  EXPECT_EQ(*connection.Handle(), handle);
  EXPECT_NO_THROW(connection.Library());
  connection.Disconnect();
  EXPECT_FALSE(connection.Connected());
  EXPECT_THROW(connection.Library(), std::logic_error);
  connection.Disconnect();
}

TEST_F(TDBConnectionOnServer, RefusalsCarryTheServersCodeAndMessages) {
  const struct {
    std::string database;
    std::string password;
    ISC_STATUS code;
    std::string text;  // the start of the error text
  } cases[] = {
      {TestDatabase("users.fdb"), "wrong", 335544472,
       "ISC ERROR CODE:335544472\r\n\r\nISC ERROR MESSAGE:\r\nYour user name and password are not defined. "
       "Ask "
       "your database administrator to set up a Firebird login."},
      // the password is sent as it stands, blanks included
      {TestDatabase("users.fdb"), " " + kSysdbaPassword + " ", 335544472,
       "ISC ERROR CODE:335544472\r\n\r\nISC ERROR MESSAGE:\r\nYour user name and password"},
      {TestDatabase("missing.fdb"), kSysdbaPassword, 335544344,
       "ISC ERROR CODE:335544344\r\n\r\nISC ERROR MESSAGE:\r\nI/O error during \"open\" operation for file "
       "\"" +
           testing::TestDatabasePath("missing.fdb") + "\""},
      {testing::kStoppedServer + ":" + testing::TestDatabasePath("users.fdb"), kSysdbaPassword, 335544721,
       "ISC ERROR CODE:335544721\r\n\r\nISC ERROR MESSAGE:\r\nUnable to complete network request to host "
       "\"localhost\".\r\nFailed to establish a connection."},
  };
  for (const auto& c : cases) {
    TDBConnection connection(c.database, "SYSDBA", c.password, "");
    try {
      connection.Connect();
      ADD_FAILURE() << c.database << ": no error";
    } catch (const EFirebirdError& e) {
      EXPECT_EQ(e.IscCode(), c.code);
      EXPECT_EQ(std::string(e.what()).substr(0, c.text.size()), c.text) << e.what();
    }
    EXPECT_FALSE(connection.Connected());
  }
}

}  // namespace
}  // namespace tarnvel::firebird
