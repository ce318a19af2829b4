#pragma once
// The real Firebird server the tests use (localhost/3051, set up by
// scripts/services/firebird.sh) and the databases made for them by
// make_test_databases.sh before the suite.

#include <string>

namespace tarnvel::firebird::testing {

inline const std::string kSysdbaPassword = "kelpdromux";
inline const std::string kServer = "localhost/3051";
/// A port nothing listens on: what a client sees of a stopped server.
inline const std::string kStoppedServer = "localhost/3059";

/// The client library the program names on this platform.
std::string ClientLibraryName();

/// Whether this test build has a Firebird client library to load.
bool ClientLibraryAvailable();

/// The server-side path of test database File ("users.fdb", "modes.fdb").
std::string TestDatabasePath(const std::string& file);

/// "localhost/3051:" + the server-side path of test database File.
std::string TestDatabase(const std::string& file);

}  // namespace tarnvel::firebird::testing

/// Ends a test that needs the client library when this build has none (the
/// Windows build has no Firebird client to load); fails loudly when a build
/// that should have one cannot load it.
#define TARNVEL_REQUIRE_CLIENT_LIBRARY()                                                                  \
  do {                                                                                                    \
    if (!::tarnvel::firebird::testing::ClientLibraryAvailable())                                          \
      GTEST_SKIP() << "no Firebird client library in this build";                                         \
    std::string reason_;                                                                                  \
    ASSERT_NE(::tarnvel::firebird::ClientLibrary::Load(::tarnvel::firebird::testing::ClientLibraryName(), \
                                                       &reason_),                                         \
              nullptr)                                                                                    \
        << ::tarnvel::firebird::testing::ClientLibraryName() << ": " << reason_;                          \
  } while (false)
