#include "sysroutines/dynamic_library.h"

#include <windows.h>

#include "sysroutines/paths.h"

namespace tarnvel::sys {
namespace {

std::string SystemMessage(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string message = n != 0 ? WideToUtf8(std::wstring_view(text, n)) : std::string();
  if (text != nullptr) LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
  return "error " + std::to_string(code) + (message.empty() ? "" : ": " + message);
}

}  // namespace

DynamicLibrary DynamicLibrary::Load(const std::string& file, std::string* errorText) {
  // No "insert a disk" or "entry point not found" boxes: a missing library is
  // reported to the caller, never to the desktop.
  const UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE module = LoadLibraryW(Utf8ToWide(file).c_str());
  const DWORD error = GetLastError();
  SetErrorMode(previousMode);
  if (module == nullptr && errorText != nullptr) *errorText = SystemMessage(error);
  return DynamicLibrary(reinterpret_cast<void*>(module));
}

void* DynamicLibrary::Symbol(const char* name) const {
  if (handle_ == nullptr) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

void DynamicLibrary::Release() noexcept {
  if (handle_ != nullptr) FreeLibrary(static_cast<HMODULE>(handle_));
  handle_ = nullptr;
}

}  // namespace tarnvel::sys
