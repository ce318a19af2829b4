#pragma once
// One attachment to a Firebird database with fixed settings: character set
// WIN1251, SQL dialect 3, no interactive login. It runs no SQL: its only use
// is to hold an attachment whose handle an information request needs.

#include <ibase.h>

#include <memory>
#include <string>

#include "firebird/client_library.h"
#include "firebird/split_database_name.h"

namespace tarnvel::firebird {

/// The attachment's parameters. Page size and dialect matter only for
/// creating a database and for statements; neither is sent on attach.
struct TDBConnectionParams {
  std::string CharacterSet = "WIN1251";
  bool LoginPrompt = false;
  int PageSize = 4096;
  int SQLDialect = 3;
  TProtocol Protocol = TProtocol::TCP;
  std::string Server;
  std::string DatabaseName;  // the path part of the name
  std::string UserName;
  std::string Password;
  std::string Role;
};

/// What an attach sends: the connect string and the database parameter buffer.
struct TAttachRequest {
  std::string ConnectString;
  std::string Dpb;
};

class TDBConnection {
 public:
  /// Sets the parameters; contacts nothing and loads no library.
  TDBConnection(const std::string& databaseName, const std::string& userName, const std::string& password,
                const std::string& role);
  /// Detaches when attached; errors of that detach are swallowed.
  ~TDBConnection();
  TDBConnection(const TDBConnection&) = delete;
  TDBConnection& operator=(const TDBConnection&) = delete;

  /// Attaches through the connection layer's current library; nothing when
  /// already attached. Throws std::invalid_argument("Invalid connection
  /// path") or ("Invalid DPB: Contents over 255 characters") before anything
  /// is sent, std::runtime_error when the library cannot be loaded, and
  /// EFirebirdError with the attach text when the server refuses.
  void Connect();

  /// What Connect would send, built and checked without loading a library or
  /// contacting anything; throws as Connect does for a bad path or value.
  TAttachRequest AttachRequest() const;

  /// Detaches when attached; otherwise nothing. Throws EFirebirdError when
  /// the server reports an error (the object is detached either way).
  void Disconnect();

  bool Connected() const { return handle_ != 0; }

  const TDBConnectionParams& Connection() const { return connection_; }

  /// The attachment handle, for information requests.
  isc_db_handle* Handle() { return &handle_; }

  /// The library the attachment was made with: calls that use the handle
  /// must go through it. Throws std::logic_error when detached, since there
  /// is then no library the handle belongs to.
  const ClientLibrary& Library() const;

 private:
  TDBConnectionParams connection_;
  isc_db_handle handle_ = 0;
  std::shared_ptr<const ClientLibrary> library_;
};

/// The path check of an attach: a ":" outside double quotes that is not the
/// last character must be followed by "/" or "\".
bool IsValidConnectionPath(const std::string& path);

}  // namespace tarnvel::firebird
