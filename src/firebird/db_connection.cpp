#include "firebird/db_connection.h"

#include <stdexcept>

#include "firebird/client_layers.h"
#include "firebird/client_text.h"
#include "firebird/firebird_error.h"
#include "firebird/parameter_buffers.h"

namespace tarnvel::firebird {

bool IsValidConnectionPath(const std::string& path) {
  bool quoted = false;
  for (std::size_t i = 0; i < path.size(); ++i) {
    if (path[i] == '"') {
      quoted = !quoted;
    } else if (path[i] == ':' && !quoted && i + 1 < path.size()) {
      if (path[i + 1] != '/' && path[i + 1] != '\\') return false;
    }
  }
  return true;
}

TDBConnection::TDBConnection(const std::string& databaseName, const std::string& userName,
                             const std::string& password, const std::string& role) {
  const TDatabaseNameParts parts = SplitDatabaseName(databaseName);
  connection_.Protocol = parts.Protocol;
  connection_.Server = parts.Server;
  connection_.DatabaseName = parts.Path;
  connection_.UserName = userName;
  connection_.Password = password;
  connection_.Role = role;
}

TDBConnection::~TDBConnection() {
  try {
    Disconnect();
  } catch (...) {
    // Nothing can be done about a failed detach here; the server drops the
    // attachment when the connection goes.
  }
}

TAttachRequest TDBConnection::AttachRequest() const {
  TAttachRequest request;
  const std::string connectString =
      ConnectString({connection_.Server, connection_.DatabaseName, connection_.Protocol});
  if (!IsValidConnectionPath(connection_.DatabaseName))
    throw std::invalid_argument("Invalid connection path");
  // Converted before the lengths are checked: those count the bytes sent.
  request.ConnectString = ClientText(connectString, "database name");
  request.Dpb = DatabaseParameterBuffer(ClientText(connection_.UserName, "user name"),
                                        ClientText(connection_.Password, "password"),
                                        ClientText(connection_.Role, "role"));
  return request;
}

void TDBConnection::Connect() {
  if (Connected()) return;
  const TAttachRequest request = AttachRequest();
  std::shared_ptr<const ClientLibrary> library = ConnectionLayer().Current();
  ISC_STATUS_ARRAY status = {};
  isc_db_handle handle = 0;
  library->api().isc_attach_database(status, 0, request.ConnectString.c_str(), &handle,
                                     static_cast<short>(request.Dpb.size()), request.Dpb.data());
  if (HasError(status)) throw AttachError(*library, status);
  handle_ = handle;
  library_ = std::move(library);
}

const ClientLibrary& TDBConnection::Library() const {
  if (library_ == nullptr) throw std::logic_error("The database connection is not attached");
  return *library_;
}

void TDBConnection::Disconnect() {
  if (!Connected()) return;
  ISC_STATUS_ARRAY status = {};
  library_->api().isc_detach_database(status, &handle_);
  // A detach the server refused leaves nothing this object could retry with.
  handle_ = 0;
  const std::shared_ptr<const ClientLibrary> library = std::move(library_);
  if (HasError(status)) throw ServiceError(*library, status);
}

}  // namespace tarnvel::firebird
