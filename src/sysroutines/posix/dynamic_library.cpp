#include "sysroutines/dynamic_library.h"

#include <dlfcn.h>

namespace tarnvel::sys {

DynamicLibrary DynamicLibrary::Load(const std::string& file, std::string* errorText) {
  // RTLD_LOCAL: two libraries with the same symbols (a copy beside the
  // executable and the system's) must not resolve into each other.
  void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr && errorText != nullptr) {
    const char* reason = dlerror();
    *errorText = reason != nullptr ? reason : "dlopen failed";
  }
  return DynamicLibrary(handle);
}

void* DynamicLibrary::Symbol(const char* name) const {
  if (handle_ == nullptr) return nullptr;
  return dlsym(handle_, name);
}

void DynamicLibrary::Release() noexcept {
  if (handle_ != nullptr) dlclose(handle_);
  handle_ = nullptr;
}

}  // namespace tarnvel::sys
