#pragma once
// Which loaded client library the service layer and the connection layer use.
//
// The service layer loads its library by name at its first use and keeps it
// until the process ends; a name given later does not replace it. The
// connection layer is told its library before each use and loads it afresh.
// An attachment keeps the library it was made with alive, so a layer that lets
// go of a library never pulls it from under an open attachment.

#include <memory>
#include <string>

#include "firebird/client_library.h"

namespace tarnvel::firebird {

/// The fixed texts when the client library cannot be loaded. They name that
/// file whatever library was asked for.
extern const char* const kServiceLibraryNotFound;
extern const char* const kConnectionLibraryNotInstalled;

class ServiceClientLibrary {
 public:
  /// The layer's library; File is loaded at the first call. Throws
  /// std::runtime_error(kServiceLibraryNotFound) when it cannot be loaded.
  std::shared_ptr<const ClientLibrary> Use(const std::string& file);

 private:
  std::shared_ptr<const ClientLibrary> library_;
};

class ConnectionClientLibrary {
 public:
  /// Makes File the layer's library, releasing the one loaded before.
  void Select(const std::string& file);

  /// The selected library, loaded now when it is not yet. Throws
  /// std::runtime_error(kConnectionLibraryNotInstalled) when it cannot be loaded.
  std::shared_ptr<const ClientLibrary> Current();

 private:
  std::string file_;
  std::shared_ptr<const ClientLibrary> library_;
};

/// The process's two layers.
ServiceClientLibrary& ServiceLayer();
ConnectionClientLibrary& ConnectionLayer();

}  // namespace tarnvel::firebird
