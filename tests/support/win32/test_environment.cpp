#include "support/test_environment.h"

#include <stdlib.h>
#include <windows.h>

#include "sysroutines/paths.h"

namespace tarnvel::testing {

std::optional<std::string> GetTestEnvironmentVariable(const std::string& name) {
  const std::wstring wide = sys::Utf8ToWide(name);
  const DWORD size = GetEnvironmentVariableW(wide.c_str(), nullptr, 0);
  if (size == 0) return std::nullopt;
  std::wstring value(size, L'\0');
  value.resize(GetEnvironmentVariableW(wide.c_str(), value.data(), size));
  return sys::WideToUtf8(value);
}

void SetTestEnvironmentVariable(const std::string& name, const std::string& value) {
  // Both the process block (inherited by children) and the C runtime's copy.
  SetEnvironmentVariableW(sys::Utf8ToWide(name).c_str(), sys::Utf8ToWide(value).c_str());
  _wputenv_s(sys::Utf8ToWide(name).c_str(), sys::Utf8ToWide(value).c_str());
}

unsigned long TestProcessId() {
  return GetCurrentProcessId();
}

}  // namespace tarnvel::testing
