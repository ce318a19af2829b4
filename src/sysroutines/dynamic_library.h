#pragma once
// A shared library loaded at run time (dlopen / LoadLibraryW), unloaded when
// its owner goes.

#include <string>

namespace tarnvel::sys {

class DynamicLibrary {
 public:
  DynamicLibrary() = default;
  ~DynamicLibrary();
  DynamicLibrary(DynamicLibrary&& other) noexcept;
  DynamicLibrary& operator=(DynamicLibrary&& other) noexcept;
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

  /// Loads the library named by File: a path, or a bare file name looked up
  /// by the system's search (Windows: the executable's folder first; Linux:
  /// the dynamic linker's paths only, never the executable's folder). Returns
  /// an object that is not loaded when that fails; ErrorText (when given)
  /// receives the system's reason.
  static DynamicLibrary Load(const std::string& file, std::string* errorText = nullptr);

  bool IsLoaded() const { return handle_ != nullptr; }

  /// The address of the exported symbol Name, or nullptr when the library
  /// does not export it (or is not loaded).
  void* Symbol(const char* name) const;

 private:
  explicit DynamicLibrary(void* handle) : handle_(handle) {}
  void Release() noexcept;

  void* handle_ = nullptr;
};

}  // namespace tarnvel::sys
