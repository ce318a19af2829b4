#include <windows.h>

#include "firebird/fresh_process.h"
#include "sysroutines/paths.h"

namespace tarnvel::firebird::testing {

// CreateProcessW without an environment block hands the child the process's
// own block, which this changes (the C runtime's copy is not involved).
void SetEnvironmentForChildren(const char* name, const char* value) {
  const std::wstring wideName = sys::Utf8ToWide(name);
  SetEnvironmentVariableW(wideName.c_str(), value != nullptr ? sys::Utf8ToWide(value).c_str() : nullptr);
}

}  // namespace tarnvel::firebird::testing
