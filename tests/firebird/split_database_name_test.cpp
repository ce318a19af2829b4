// Splitting a Firebird database name and rebuilding its connect string.
#include "firebird/split_database_name.h"

#include <gtest/gtest.h>

namespace tarnvel::firebird {
namespace {

TEST(SplitDatabaseName, EachRuleAndItsConnectString) {
  const struct {
    const char* name;
    TDatabaseNameParts parts;
    const char* connectString;
  } cases[] = {
      // rule 1: drive letter, no further ":"
      {"C:\\Data\\Base.fdb", {"", "C:\\Data\\Base.fdb", TProtocol::Local}, "C:\\Data\\Base.fdb"},
      // rule 4: server keeps its port; the path keeps its drive
      {"localhost/3051:C:\\Data\\Base.fdb",
       {"localhost/3051", "C:\\Data\\Base.fdb", TProtocol::TCP},
       "localhost/3051:C:\\Data\\Base.fdb"},
      {"localhost/3051:/srv/db/Base.fdb",
       {"localhost/3051", "/srv/db/Base.fdb", TProtocol::TCP},
       "localhost/3051:/srv/db/Base.fdb"},
      {"srv:C:\\x.fdb", {"srv", "C:\\x.fdb", TProtocol::TCP}, "srv:C:\\x.fdb"},  // 2nd ":" defeats rule 1
      // rule 2: named pipe
      {"\\\\srv\\share\\base.fdb",
       {"srv", "share\\base.fdb", TProtocol::NamedPipe},
       "\\\\srv\\share\\base.fdb"},
      // rule 3: SPX
      {"srv@vol/base.fdb", {"srv", "vol/base.fdb", TProtocol::SPX}, "srv@vol/base.fdb"},
      {"srv@a@b", {"srv", "a@b", TProtocol::SPX}, "srv@a@b"},
      // rule 5: a Linux path, a relative name, an alias
      {"/var/lib/firebird/TarnVel.fdb",
       {"", "/var/lib/firebird/TarnVel.fdb", TProtocol::Local},
       "/var/lib/firebird/TarnVel.fdb"},
      {"base.fdb", {"", "base.fdb", TProtocol::Local}, "base.fdb"},
      {"employee", {"", "employee", TProtocol::Local}, "employee"},
      // "C:" alone is too short for rule 1: TCP/IP with server "C"
      {"C:", {"C", "", TProtocol::TCP}, "C:"},
  };
  for (const auto& c : cases) {
    const TDatabaseNameParts parts = SplitDatabaseName(c.name);
    EXPECT_EQ(parts.Server, c.parts.Server) << c.name;
    EXPECT_EQ(parts.Path, c.parts.Path) << c.name;
    EXPECT_EQ(parts.Protocol, c.parts.Protocol) << c.name;
    EXPECT_EQ(ConnectString(parts), c.connectString) << c.name;
  }
}

}  // namespace
}  // namespace tarnvel::firebird
