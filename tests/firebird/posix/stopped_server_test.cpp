// A really stopped server, compared with a port nothing listens on: the
// client sees the same refusal. The Windows suite under Wine cannot stop the
// Linux server, so there the closed port stands in for it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

#include "firebird/client_layers.h"
#include "firebird/db_connection.h"
#include "firebird/db_services.h"
#include "firebird/firebird_error.h"
#include "firebird/firebird_test_server.h"

namespace tarnvel::firebird {
namespace {

// Starts the server again however the test ends, with the project's own
// set-up script (it waits until the server answers).
class StoppedServer {
 public:
  StoppedServer() { stopped_ = std::system("service firebird3.0 stop >/dev/null 2>&1") == 0; }
  ~StoppedServer() {
    const std::string start = "bash '" TARNVEL_SOURCE_DIR "/scripts/services/firebird.sh' >/dev/null";
    if (std::system(start.c_str()) != 0) ADD_FAILURE() << "the server did not start again: " << start;
  }
  bool stopped() const { return stopped_; }

 private:
  bool stopped_ = false;
};

struct Refusal {
  ISC_STATUS serviceCode = 0;
  std::string serviceText;
  ISC_STATUS attachCode = 0;
  std::string attachText;
};

Refusal RefusalsFrom(const std::string& server) {
  const std::string database = server + ":" + testing::TestDatabasePath("users.fdb");
  Refusal refusal;
  try {
    DatabaseOnLine(testing::ClientLibraryName(), database, "SYSDBA", testing::kSysdbaPassword);
  } catch (const EFirebirdError& e) {
    refusal.serviceCode = e.IscCode();
    refusal.serviceText = e.what();
  }
  ConnectionLayer().Select(testing::ClientLibraryName());
  TDBConnection connection(database, "SYSDBA", testing::kSysdbaPassword, "");
  try {
    connection.Connect();
  } catch (const EFirebirdError& e) {
    refusal.attachCode = e.IscCode();
    refusal.attachText = e.what();
  }
  return refusal;
}

TEST(StoppedServer, RefusesLikeAPortNobodyListensOn) {
  if (geteuid() != 0) GTEST_SKIP() << "stopping the server's service needs root";
  const Refusal closedPort = RefusalsFrom(testing::kStoppedServer);
  EXPECT_EQ(closedPort.serviceCode, 335544721);
  EXPECT_EQ(closedPort.serviceText,
            "Unable to complete network request to host \"localhost\".\r\nFailed to establish a connection");
  Refusal stopped;
  {
    StoppedServer server;
    ASSERT_TRUE(server.stopped());
    stopped = RefusalsFrom(testing::kServer);
  }
  EXPECT_EQ(stopped.serviceCode, closedPort.serviceCode);
  EXPECT_EQ(stopped.serviceText, closedPort.serviceText);
  EXPECT_EQ(stopped.attachCode, closedPort.attachCode);
  EXPECT_EQ(stopped.attachText, closedPort.attachText);
  // Running again: the database answers.
  std::vector<std::string> users{"stale"};
  GetAttachedUsers(testing::ClientLibraryName(), testing::TestDatabase("users.fdb"), "SYSDBA",
                   testing::kSysdbaPassword, "", users);
  EXPECT_TRUE(users.empty());
}

}  // namespace
}  // namespace tarnvel::firebird
