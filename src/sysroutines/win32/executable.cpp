#include "sysroutines/executable.h"

#include <windows.h>

#include "sysroutines/paths.h"

namespace tarnvel::sys {

std::string ExecutablePath() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) {
      buffer.resize(n);
      return WideToUtf8(buffer);
    }
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace tarnvel::sys
