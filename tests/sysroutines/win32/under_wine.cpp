#include "sysroutines/under_wine.h"

#include <windows.h>

namespace tarnvel::testing {

bool RunsUnderWine() {
  return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

}  // namespace tarnvel::testing
