#pragma once
// The Firebird client library, loaded at run time and never linked: a typed
// table of the entry points this program calls.

#include <ibase.h>

#include <memory>
#include <string>
#include <vector>

#include "sysroutines/dynamic_library.h"

namespace tarnvel::firebird {

/// The entry points, named and typed as the client library declares them
/// (on 32-bit Windows that includes the stdcall convention).
struct ClientApi {
  decltype(&::isc_attach_database) isc_attach_database = nullptr;
  decltype(&::isc_detach_database) isc_detach_database = nullptr;
  decltype(&::isc_database_info) isc_database_info = nullptr;
  decltype(&::isc_service_attach) isc_service_attach = nullptr;
  decltype(&::isc_service_start) isc_service_start = nullptr;
  decltype(&::isc_service_query) isc_service_query = nullptr;
  decltype(&::isc_service_detach) isc_service_detach = nullptr;
  decltype(&::isc_sqlcode) isc_sqlcode = nullptr;
  // One of the two is enough: fb_interpret is preferred, isc_interprete is
  // what older client libraries offer.
  decltype(&::fb_interpret) fb_interpret = nullptr;
  ISC_LONG(ISC_EXPORT* isc_interprete)(ISC_SCHAR*, ISC_STATUS**) = nullptr;
};

class ClientLibrary {
 public:
  /// Loads File and resolves every entry point. A bare file name is tried
  /// beside the running executable first (by its absolute path), then through
  /// the system's search. Returns nullptr when no copy can be loaded or the
  /// library lacks an entry point; ErrorText (when given) says why.
  static std::shared_ptr<const ClientLibrary> Load(const std::string& file, std::string* errorText = nullptr);

  const ClientApi& api() const { return api_; }

  /// The texts of the status vector, one per message, as the library words them.
  std::vector<std::string> Interpret(const ISC_STATUS* status) const;

  /// The SQL code of the status vector.
  long SqlCode(const ISC_STATUS* status) const;

 private:
  ClientLibrary(sys::DynamicLibrary library, const ClientApi& api);

  sys::DynamicLibrary library_;
  ClientApi api_;
};

/// Where a bare name is tried first: beside the running executable.
std::string ClientLibraryBesideExecutable(const std::string& file);

}  // namespace tarnvel::firebird
