// The client library on Windows reads paths, user names, passwords and roles
// in the system's ANSI code page. Under Wine the library is a bridge to the
// Linux client, which wants UTF-8 again, so these tests look at what would be
// sent rather than at the server's answer.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <stdexcept>

#include "firebird/client_layers.h"
#include "firebird/db_connection.h"
#include "firebird/db_services.h"
#include "firebird/firebird_test_server.h"
#include "firebird/parameter_buffers.h"
#include "sysroutines/ansi_code_page.h"

namespace tarnvel::firebird {
namespace {

// No ANSI code page holds it (only a UTF-8 system code page would).
const std::string kKey = "key \xF0\x9F\x94\x91";
// A library that cannot be loaded: a call that got as far as loading it
// would fail with the library text instead.
const std::string kUnloadable = "tarnvel_no_such_fbclient_library";

std::string Ansi(const std::string& text) {
  const auto converted = sys::Utf8ToAnsiCodePage(text);
  return converted ? *converted : "(not in the code page)";
}

TEST(ClientCodePage, AttachSendsTheValuesInTheSystemsCodePage) {
  ASSERT_NE(GetACP(), static_cast<UINT>(CP_UTF8))
      << "this machine's code page is UTF-8: nothing is converted";
  const std::string path = "C:\\D\xC3\xA4t\xC3\xA4\\Base.fdb";  // "Dätä"
  const std::string user = "M\xC3\xBCLLER";                     // "MüLLER"
  const std::string password = "p\xC3\xA4sswort";
  const std::string role = "R\xC3\x94LE";
  const TDBConnection connection("localhost/3051:" + path, user, password, role);
  const TAttachRequest request = connection.AttachRequest();
  EXPECT_EQ(request.ConnectString, Ansi("localhost/3051:" + path));
  EXPECT_EQ(request.Dpb, DatabaseParameterBuffer(Ansi(user), Ansi(password), Ansi(role)));
  EXPECT_NE(request.ConnectString, "localhost/3051:" + path);  // not the UTF-8 bytes
}

TEST(ClientCodePage, WhatTheCodePageCannotHoldIsRefusedBeforeAnythingIsSent) {
  ConnectionLayer().Select(kUnloadable);
  const std::string database = testing::TestDatabase("users.fdb");
  const std::string keyDatabase = "localhost/3051:C:\\" + kKey + "\\Base.fdb";
  const std::string& password = testing::kSysdbaPassword;
  const auto noPause = [](std::chrono::milliseconds) {};
  const struct {
    const char* what;
    std::function<void()> call;
    const char* text;
  } cases[] = {
      {"shutdown, path", [&] { DatabaseShutdown(kUnloadable, keyDatabase, "SYSDBA", password, noPause); },
       "The database name holds a character that the system's code page cannot represent"},
      {"shutdown, user", [&] { DatabaseShutdown(kUnloadable, database, kKey, password, noPause); },
       "The user name holds a character that the system's code page cannot represent"},
      {"online, password", [&] { DatabaseOnLine(kUnloadable, database, "SYSDBA", kKey); },
       "The password holds a character that the system's code page cannot represent"},
      {"online, server", [&] { DatabaseOnLine(kUnloadable, kKey + ":C:\\Base.fdb", "SYSDBA", password); },
       "The database name holds a character that the system's code page cannot represent"},
      {"attached users, role",
       [&] {
         std::vector<std::string> users;
         GetAttachedUsers(kUnloadable, database, "SYSDBA", password, kKey, users);
       },
       "The role holds a character that the system's code page cannot represent"},
      {"attach, path", [&] { TDBConnection(keyDatabase, "SYSDBA", password, "").Connect(); },
       "The database name holds a character that the system's code page cannot represent"},
      {"attach, password", [&] { TDBConnection(database, "SYSDBA", kKey, "").Connect(); },
       "The password holds a character that the system's code page cannot represent"},
  };
  for (const auto& c : cases) {
    try {
      c.call();
      ADD_FAILURE() << c.what << ": no error";
    } catch (const std::invalid_argument& e) {
      EXPECT_STREQ(e.what(), c.text) << c.what;
    } catch (const std::exception& e) {
      ADD_FAILURE() << c.what << ": " << e.what();
    }
  }
}

TEST(ClientCodePage, LengthsCountTheBytesSent) {
  // 200 characters that take two bytes each in UTF-8 and one in the code
  // page: they fit the DPB's one length byte once converted.
  const std::string hundredsOfE = [] {
    std::string text;
    for (int i = 0; i < 200; ++i) text += "\xC3\xA9";  // "é"
    return text;
  }();
  const auto converted = sys::Utf8ToAnsiCodePage(hundredsOfE);
  ASSERT_TRUE(converted && converted->size() == 200u) << "code page " << GetACP() << " has no one-byte \"é\"";
  const TDBConnection connection(testing::TestDatabase("users.fdb"), "SYSDBA", hundredsOfE, "");
  EXPECT_EQ(connection.AttachRequest().Dpb, DatabaseParameterBuffer("SYSDBA", *converted, ""));
}

}  // namespace
}  // namespace tarnvel::firebird
