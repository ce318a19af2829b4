#pragma once
// A Firebird database name split into server, path and protocol, and the
// connect string rebuilt from the parts.

#include <string>

namespace tarnvel::firebird {

enum class TProtocol { TCP, NamedPipe, SPX, Local };

struct TDatabaseNameParts {
  std::string Server;
  std::string Path;
  TProtocol Protocol = TProtocol::Local;

  bool operator==(const TDatabaseNameParts&) const = default;
};

/// Splits a connection string by the first rule that matches:
///  1. "X:" then a text without ":" (C:\Data\Base.fdb): a local path;
///  2. contains "\\": named pipe, \\server\path;
///  3. contains "@": SPX, server@path;
///  4. contains ":": TCP/IP, server:path (the server keeps a /port suffix);
///  5. otherwise a local path.
/// A name with none of ".", "\", ":" and "@" (an alias) falls under rule 5:
/// it is handed to the local server as it stands.
TDatabaseNameParts SplitDatabaseName(const std::string& databaseName);

/// The connect string for attaching: server:path, \\server\path,
/// server@path, or the path alone.
std::string ConnectString(const TDatabaseNameParts& parts);

}  // namespace tarnvel::firebird
