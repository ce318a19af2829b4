#include "firebird/client_library.h"

#include "sysroutines/executable.h"
#include "sysroutines/paths.h"

namespace tarnvel::firebird {
namespace {

bool HasFolderPart(const std::string& file) {
  return file.find('/') != std::string::npos || file.find(sys::kPathDelimiter) != std::string::npos;
}

template <typename Function>
bool Resolve(const sys::DynamicLibrary& library, const char* name, Function& target) {
  target = reinterpret_cast<Function>(library.Symbol(name));
  return target != nullptr;
}

// Returns the name of the first missing entry point, or an empty text.
std::string ResolveAll(const sys::DynamicLibrary& library, ClientApi& api) {
  if (!Resolve(library, "isc_attach_database", api.isc_attach_database)) return "isc_attach_database";
  if (!Resolve(library, "isc_detach_database", api.isc_detach_database)) return "isc_detach_database";
  if (!Resolve(library, "isc_database_info", api.isc_database_info)) return "isc_database_info";
  if (!Resolve(library, "isc_service_attach", api.isc_service_attach)) return "isc_service_attach";
  if (!Resolve(library, "isc_service_start", api.isc_service_start)) return "isc_service_start";
  if (!Resolve(library, "isc_service_query", api.isc_service_query)) return "isc_service_query";
  if (!Resolve(library, "isc_service_detach", api.isc_service_detach)) return "isc_service_detach";
  if (!Resolve(library, "isc_sqlcode", api.isc_sqlcode)) return "isc_sqlcode";
  const bool modern = Resolve(library, "fb_interpret", api.fb_interpret);
  const bool legacy = Resolve(library, "isc_interprete", api.isc_interprete);
  if (!modern && !legacy) return "fb_interpret";
  return {};
}

}  // namespace

std::string ClientLibraryBesideExecutable(const std::string& file) {
  return sys::IncludeTrailingPathDelimiter(sys::ExecutableDir()) + file;
}

ClientLibrary::ClientLibrary(sys::DynamicLibrary library, const ClientApi& api)
    : library_(std::move(library)), api_(api) {}

std::shared_ptr<const ClientLibrary> ClientLibrary::Load(const std::string& file, std::string* errorText) {
  std::string reason;
  sys::DynamicLibrary library;
  if (!HasFolderPart(file)) library = sys::DynamicLibrary::Load(ClientLibraryBesideExecutable(file));
  if (!library.IsLoaded()) library = sys::DynamicLibrary::Load(file, &reason);
  if (!library.IsLoaded()) {
    if (errorText != nullptr) *errorText = reason;
    return nullptr;
  }
  ClientApi api;
  const std::string missing = ResolveAll(library, api);
  if (!missing.empty()) {
    if (errorText != nullptr) *errorText = file + " does not export " + missing;
    return nullptr;
  }
  return std::shared_ptr<const ClientLibrary>(new ClientLibrary(std::move(library), api));
}

std::vector<std::string> ClientLibrary::Interpret(const ISC_STATUS* status) const {
  std::vector<std::string> messages;
  // Each call yields one message and moves the cursor on; 1024 bytes hold the
  // longest message the client library writes. isc_interprete only reads the
  // vector, though its declaration lacks the const.
  const ISC_STATUS* cursor = status;
  ISC_STATUS* legacyCursor = const_cast<ISC_STATUS*>(status);
  char buffer[1024];
  for (;;) {
    buffer[0] = '\0';
    const ISC_LONG length = api_.fb_interpret != nullptr ? api_.fb_interpret(buffer, sizeof buffer, &cursor)
                                                         : api_.isc_interprete(buffer, &legacyCursor);
    if (length <= 0) break;
    buffer[sizeof buffer - 1] = '\0';
    messages.emplace_back(buffer);
  }
  return messages;
}

long ClientLibrary::SqlCode(const ISC_STATUS* status) const {
  return api_.isc_sqlcode(status);
}

}  // namespace tarnvel::firebird
