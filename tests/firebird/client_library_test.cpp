// Loading the client library at run time, and which library each layer uses.
#include "firebird/client_library.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

#include "firebird/client_layers.h"
#include "firebird/db_connection.h"
#include "firebird/db_services.h"
#include "firebird/firebird_test_server.h"
#include "firebird/fresh_process.h"

namespace tarnvel::firebird {
namespace {

const std::string kMissingLibrary = "tarnvel_no_such_fbclient_library";

TEST(ClientLibraryLoad, MissingLibrarySaysWhy) {
  std::string reason;
  EXPECT_EQ(ClientLibrary::Load(kMissingLibrary, &reason), nullptr);
  EXPECT_FALSE(reason.empty());
}

TEST(ClientLibraryLayers, MissingLibraryGivesTheTwoFixedTexts) {
  ServiceClientLibrary services;
  try {
    services.Use(kMissingLibrary);
    ADD_FAILURE() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(),
                 "InterBase library gds32.dll not found in the path. Please install InterBase to use this "
                 "functionality");
  }
  ConnectionClientLibrary connections;
  connections.Select(kMissingLibrary);
  try {
    connections.Current();
    ADD_FAILURE() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "InterBase Client GDS32.DLL is not installed");
  }
}

// Run in a process whose service layer has loaded nothing yet: there the
// missing library is what the routines meet first. The database sits behind
// a port nothing listens on, so a call that went ahead would report the
// network instead of the library.
const bool kRoutinesRegistered = testing::RegisterFreshProcessCase("RoutinesReportAMissingLibrary", [] {
  const std::string database = testing::kStoppedServer + ":" + testing::TestDatabasePath("users.fdb");
  for (const auto& call : std::vector<std::function<void()>>{
           [&] {
             DatabaseShutdown(kMissingLibrary, database, "SYSDBA", testing::kSysdbaPassword, [](auto) {});
           },
           [&] { DatabaseOnLine(kMissingLibrary, database, "SYSDBA", testing::kSysdbaPassword); },
           [&] {
             std::vector<std::string> users{"kept"};
             GetAttachedUsers(kMissingLibrary, database, "SYSDBA", testing::kSysdbaPassword, "", users);
           }}) {
    try {
      call();
      ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), kServiceLibraryNotFound);
    }
  }
  ConnectionLayer().Select(kMissingLibrary);
  TDBConnection connection(database, "SYSDBA", testing::kSysdbaPassword, "");
  try {
    connection.Connect();
    ADD_FAILURE() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), kConnectionLibraryNotInstalled);
  }
  EXPECT_FALSE(connection.Connected());
});

TEST(ClientLibraryLayers, RoutinesReportAMissingLibraryBeforeContactingAnything) {
  testing::RunInFreshProcess("RoutinesReportAMissingLibrary");
}

TEST(ClientLibraryLayers, ServiceLayerKeepsItsFirstLibrary) {
  TARNVEL_REQUIRE_CLIENT_LIBRARY();
  ServiceClientLibrary services;
  const auto first = services.Use(testing::ClientLibraryName());
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(services.Use(kMissingLibrary), first);  // a later name does not replace it
  EXPECT_EQ(services.Use(testing::ClientLibraryName()), first);
}

TEST(ClientLibraryLayers, ConnectionLayerReleasesAndLoadsAfresh) {
  TARNVEL_REQUIRE_CLIENT_LIBRARY();
  ConnectionClientLibrary connections;
  connections.Select(testing::ClientLibraryName());
  std::weak_ptr<const ClientLibrary> first = connections.Current();
  ASSERT_FALSE(first.expired());
  EXPECT_EQ(connections.Current(), first.lock());
  connections.Select(testing::ClientLibraryName());
  EXPECT_TRUE(first.expired());  // released completely
  const auto second = connections.Current();
  ASSERT_NE(second, nullptr);
  connections.Select(kMissingLibrary);
  EXPECT_THROW(connections.Current(), std::runtime_error);
}

}  // namespace
}  // namespace tarnvel::firebird
