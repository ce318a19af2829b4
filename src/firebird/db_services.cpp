#include "firebird/db_services.h"

#include <ibase.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <thread>

#include "firebird/client_layers.h"
#include "firebird/client_text.h"
#include "firebird/db_connection.h"
#include "firebird/firebird_error.h"
#include "firebird/parameter_buffers.h"
#include "firebird/service_lines.h"
#include "firebird/split_database_name.h"
#include "firebird/trim.h"
#include "firebird/users_reply.h"
#include "sysroutines/ascii_case.h"

namespace tarnvel::firebird {
namespace {

constexpr std::chrono::milliseconds kShutdownPause{2000};

// One attachment to the service manager; detached when it goes, also when a
// request failed.
class ServiceAttachment {
 public:
  ServiceAttachment(std::shared_ptr<const ClientLibrary> library, const std::string& managerName,
                    const std::string& attachBuffer)
      : library_(std::move(library)) {
    ISC_STATUS_ARRAY status = {};
    library_->api().isc_service_attach(status, static_cast<unsigned short>(managerName.size()),
                                       managerName.c_str(), &handle_,
                                       static_cast<unsigned short>(attachBuffer.size()), attachBuffer.data());
    if (HasError(status)) {
      handle_ = 0;
      throw ServiceError(*library_, status);
    }
  }

  ~ServiceAttachment() {
    if (handle_ == 0) return;
    ISC_STATUS_ARRAY status = {};
    library_->api().isc_service_detach(status, &handle_);  // a failure is already on its way
  }

  ServiceAttachment(const ServiceAttachment&) = delete;
  ServiceAttachment& operator=(const ServiceAttachment&) = delete;

  void Start(const std::string& request) {
    ISC_STATUS_ARRAY status = {};
    library_->api().isc_service_start(status, &handle_, nullptr, static_cast<unsigned short>(request.size()),
                                      request.data());
    if (HasError(status)) throw ServiceError(*library_, status);
  }

  // The next line the service printed; empty when it has printed all.
  std::string QueryLine() {
    const char item = isc_info_svc_line;
    std::string reply(kServiceLineReplySize, '\0');
    ISC_STATUS_ARRAY status = {};
    library_->api().isc_service_query(status, &handle_, nullptr, 0, nullptr, 1, &item,
                                      static_cast<unsigned short>(reply.size()), reply.data());
    if (HasError(status)) throw ServiceError(*library_, status);
    return ParseServiceLineReply(reply);
  }

  void Detach() {
    ISC_STATUS_ARRAY status = {};
    library_->api().isc_service_detach(status, &handle_);
    handle_ = 0;
    if (HasError(status)) throw ServiceError(*library_, status);
  }

 private:
  std::shared_ptr<const ClientLibrary> library_;
  isc_svc_handle handle_ = 0;
};

// Sends one database properties request to the service manager that serves
// DatabaseName; Request builds it from the path.
void RunPropertiesRequest(const std::string& clientLibrary, const std::string& databaseName,
                          const std::string& userName, const std::string& password,
                          std::string (*request)(const std::string&), const Pause* pause) {
  CheckDatabaseParams(clientLibrary, databaseName, userName, password);
  const TDatabaseNameParts parts = SplitDatabaseName(databaseName);
  // Both buffers are built first: a value that does not fit fails before
  // anything is loaded or sent. The values go in the client library's code
  // page, and the lengths count the bytes sent.
  const std::string attachBuffer =
      ServiceAttachBuffer(ClientText(userName, "user name"), ClientText(password, "password"));
  const std::string requestBuffer = request(ClientText(parts.Path, "database name"));
  const std::string managerName = ClientText(ServiceManagerName(parts), "database name");

  ServiceAttachment service(ServiceLayer().Use(clientLibrary), managerName, attachBuffer);
  service.Start(requestBuffer);
  if (pause != nullptr) (*pause)(kShutdownPause);
  service.Detach();
}

}  // namespace

void SleepPause(std::chrono::milliseconds duration) {
  std::this_thread::sleep_for(duration);
}

void CheckDatabaseParams(const std::string& clientLibrary, const std::string& databaseName,
                         const std::string& userName, const std::string& password) {
  if (Trim(clientLibrary).empty()) throw std::runtime_error("The client's library was not specified!");
  if (Trim(databaseName).empty()) throw std::runtime_error("The database was not specified!");
  if (Trim(userName).empty()) throw std::runtime_error("The user's name was not specified!");
  if (Trim(password).empty()) throw std::runtime_error("The password was not specified!");
}

void DatabaseShutdown(const std::string& clientLibrary, const std::string& databaseName,
                      const std::string& userName, const std::string& password, const Pause& pause) {
  RunPropertiesRequest(clientLibrary, databaseName, userName, password, &ShutdownRequest, &pause);
}

void DatabaseOnLine(const std::string& clientLibrary, const std::string& databaseName,
                    const std::string& userName, const std::string& password) {
  RunPropertiesRequest(clientLibrary, databaseName, userName, password, &OnlineRequest, nullptr);
}

std::string DatabaseHeaderText(const std::string& clientLibrary, const std::string& databaseName,
                               const std::string& userName, const std::string& password) {
  CheckDatabaseParams(clientLibrary, databaseName, userName, password);
  const TDatabaseNameParts parts = SplitDatabaseName(databaseName);
  const std::string attachBuffer =
      ServiceAttachBuffer(ClientText(userName, "user name"), ClientText(password, "password"));
  const std::string requestBuffer = HeaderStatisticsRequest(ClientText(parts.Path, "database name"));
  const std::string managerName = ClientText(ServiceManagerName(parts), "database name");

  ServiceAttachment service(ServiceLayer().Use(clientLibrary), managerName, attachBuffer);
  service.Start(requestBuffer);
  // The header page prints some twenty lines; a server that goes on and on
  // is not answering this question.
  constexpr std::size_t kMaxHeaderText = 64 * 1024;
  std::string text;
  for (std::string line = service.QueryLine(); !line.empty(); line = service.QueryLine()) {
    text += line + "\n";
    if (text.size() > kMaxHeaderText) throw std::runtime_error("The server's header statistics do not end.");
  }
  service.Detach();
  return text;
}

void RemoveOwnUser(std::vector<std::string>& users, const std::string& userName) {
  const auto own = std::find_if(users.begin(), users.end(), [&](const std::string& user) {
    return sys::EqualsIgnoringAsciiCase(user, userName);
  });
  if (own != users.end()) users.erase(own);
}

void GetAttachedUsers(const std::string& clientLibrary, const std::string& databaseName,
                      const std::string& userName, const std::string& password, const std::string& role,
                      std::vector<std::string>& users) {
  CheckDatabaseParams(clientLibrary, databaseName, userName, password);
  ConnectionLayer().Select(clientLibrary);
  TDBConnection connection(databaseName, userName, password, role);
  // Every value is checked before a library is loaded, as in the other routines.
  connection.AttachRequest();
  // Makes the service layer's library current as well. The request below
  // goes through the library the attachment was made with, which owns the
  // handle; both are the same loaded instance of ClientLibrary.
  ServiceLayer().Use(clientLibrary);
  connection.Connect();

  const std::string request = UserNamesRequest();
  std::string reply(kUserNamesReplySize, '\0');
  ISC_STATUS_ARRAY status = {};
  const ClientLibrary& library = connection.Library();
  library.api().isc_database_info(status, connection.Handle(), static_cast<short>(request.size()),
                                  request.data(), static_cast<short>(reply.size()), reply.data());
  if (HasError(status)) throw ServiceError(library, status);

  std::vector<std::string> names = ParseUserNamesReply(reply);
  RemoveOwnUser(names, userName);
  connection.Disconnect();
  users = std::move(names);
}

}  // namespace tarnvel::firebird
