// A routine that fails after it reached the server leaves no connection to
// the server behind. What this process holds open is read from /proc: each
// connection the client library keeps is a socket of ours whose peer is the
// server's port. (Linux only: the Windows suite reaches the server through a
// bridge whose sockets Wine does not show as the test program's own.)
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>

#include "firebird/client_layers.h"
#include "firebird/db_connection.h"
#include "firebird/db_services.h"
#include "firebird/firebird_error.h"
#include "firebird/firebird_test_server.h"

namespace tarnvel::firebird {
namespace {

constexpr unsigned kServerPort = 3051;

std::set<std::string> OwnSocketInodes() {
  std::set<std::string> inodes;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code error;
    const std::string target = std::filesystem::read_symlink(entry.path(), error).string();
    if (!error && target.starts_with("socket:[") && target.ends_with("]"))
      inodes.insert(target.substr(8, target.size() - 9));
  }
  return inodes;
}

// Established TCP connections of this process to the server's port.
std::size_t ConnectionsToServer() {
  const std::set<std::string> inodes = OwnSocketInodes();
  std::size_t count = 0;
  for (const char* table : {"/proc/self/net/tcp", "/proc/self/net/tcp6"}) {
    std::ifstream in(table);
    std::string line;
    std::getline(in, line);  // the heading
    while (std::getline(in, line)) {
      std::istringstream fields(line);
      std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout, inode;
      fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >> timeout >> inode;
      const std::size_t colon = remote.rfind(':');
      if (colon == std::string::npos || state != "01") continue;  // 01: established
      if (std::stoul(remote.substr(colon + 1), nullptr, 16) == kServerPort && inodes.count(inode) != 0) ++count;
    }
  }
  return count;
}

TEST(ServiceAttachment, DetachedWhenARequestOrTheAttachFails) {
  TARNVEL_REQUIRE_CLIENT_LIBRARY();
  const std::string library = testing::ClientLibraryName();
  const std::string users = testing::TestDatabase("users.fdb");
  const std::string missing = testing::TestDatabase("missing.fdb");
  const auto noPause = [](std::chrono::milliseconds) {};
  const struct {
    const char* what;
    std::function<void()> call;
  } cases[] = {
      // The service manager accepts the attach and refuses the request.
      {"online twice", [&] { DatabaseOnLine(library, users, "SYSDBA", testing::kSysdbaPassword); }},
      {"shutdown of a missing database",
       [&] { DatabaseShutdown(library, missing, "SYSDBA", testing::kSysdbaPassword, noPause); }},
      // The server refuses the attach itself.
      {"wrong password", [&] { DatabaseOnLine(library, users, "SYSDBA", "wrong"); }},
      {"attached users, wrong password",
       [&] {
         std::vector<std::string> names;
         GetAttachedUsers(library, users, "SYSDBA", "wrong", "", names);
       }},
  };
  for (const auto& c : cases) {
    const std::size_t before = ConnectionsToServer();
    EXPECT_THROW(c.call(), EFirebirdError) << c.what;
    EXPECT_EQ(ConnectionsToServer(), before) << c.what;
  }
}

TEST(ServiceAttachment, ConnectionsAreSeenWhileHeld) {
  // The count above must see a connection at all, or its equality proves nothing.
  TARNVEL_REQUIRE_CLIENT_LIBRARY();
  ConnectionLayer().Select(testing::ClientLibraryName());
  const std::size_t before = ConnectionsToServer();
  {
    TDBConnection connection(testing::TestDatabase("users.fdb"), "SYSDBA", testing::kSysdbaPassword, "");
    connection.Connect();
    EXPECT_EQ(ConnectionsToServer(), before + 1);
  }
  EXPECT_EQ(ConnectionsToServer(), before);
}

}  // namespace
}  // namespace tarnvel::firebird
