#include "firebird/client_layers.h"

#include <stdexcept>

namespace tarnvel::firebird {

const char* const kServiceLibraryNotFound =
    "InterBase library gds32.dll not found in the path. Please install InterBase to use this functionality";
const char* const kConnectionLibraryNotInstalled = "InterBase Client GDS32.DLL is not installed";

std::shared_ptr<const ClientLibrary> ServiceClientLibrary::Use(const std::string& file) {
  if (library_ == nullptr) {
    library_ = ClientLibrary::Load(file);
    if (library_ == nullptr) throw std::runtime_error(kServiceLibraryNotFound);
  }
  return library_;
}

void ConnectionClientLibrary::Select(const std::string& file) {
  library_.reset();
  file_ = file;
}

std::shared_ptr<const ClientLibrary> ConnectionClientLibrary::Current() {
  if (library_ == nullptr) {
    library_ = ClientLibrary::Load(file_);
    if (library_ == nullptr) throw std::runtime_error(kConnectionLibraryNotInstalled);
  }
  return library_;
}

ServiceClientLibrary& ServiceLayer() {
  static ServiceClientLibrary layer;
  return layer;
}

ConnectionClientLibrary& ConnectionLayer() {
  static ConnectionClientLibrary layer;
  return layer;
}

}  // namespace tarnvel::firebird
