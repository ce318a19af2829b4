// Any database name splits; the parts give back the name they came from
// wherever the connect string can say it.
#include <string>

#include "firebird/split_database_name.h"
#include "fuzz_entries.h"

namespace tarnvel::fuzz {

void FuzzSplitDatabaseName(std::string_view input) {
  using firebird::TProtocol;
  const std::string name(input);
  const firebird::TDatabaseNameParts parts = firebird::SplitDatabaseName(name);
  Expect(parts.Server.size() + parts.Path.size() <= name.size(), "the parts come from the name");

  // A named pipe is rebuilt as \\server\path: only a name of that shape comes
  // back as it was (the rule takes any name that holds "\\" somewhere).
  const bool pipeShape = name.starts_with("\\\\") && name.find('\\', 2) != std::string::npos;
  if (parts.Protocol != TProtocol::NamedPipe || pipeShape)
    Expect(firebird::ConnectString(parts) == name, "the connect string of the parts is the name");
  // "@" is looked for before ":": an SPX server may hold a ":".
  if (parts.Protocol == TProtocol::SPX)
    Expect(parts.Server.find('@') == std::string::npos, "an SPX server ends at the first @");
  if (parts.Protocol == TProtocol::TCP)
    Expect(parts.Server.find_first_of(":@") == std::string::npos, "a TCP server ends at the first :");
}

}  // namespace tarnvel::fuzz
