#include "sysroutines/dynamic_library.h"

#include <utility>

namespace tarnvel::sys {

DynamicLibrary::~DynamicLibrary() {
  Release();
}

DynamicLibrary::DynamicLibrary(DynamicLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)) {}

DynamicLibrary& DynamicLibrary::operator=(DynamicLibrary&& other) noexcept {
  if (this != &other) {
    Release();
    handle_ = std::exchange(other.handle_, nullptr);
  }
  return *this;
}

}  // namespace tarnvel::sys
