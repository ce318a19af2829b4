#include "sysroutines/process_control.h"

#include <windows.h>

#include <memory>
#include <type_traits>

namespace tarnvel::sys {

bool SetDebugPrivilege(bool enable) {
  HANDLE opened = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &opened)) return false;
  const std::unique_ptr<std::remove_pointer_t<HANDLE>, decltype(&CloseHandle)> token(opened, &CloseHandle);
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : SE_PRIVILEGE_USED_FOR_ACCESS;
  bool applied = false;
  if (LookupPrivilegeValueW(nullptr, L"SeDebugPrivilege", &privileges.Privileges[0].Luid)) {
    // AdjustTokenPrivileges succeeds also when it applied only part of the
    // change; the last-error code tells (ERROR_NOT_ALL_ASSIGNED).
    SetLastError(ERROR_SUCCESS);
    AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
    applied = GetLastError() == ERROR_SUCCESS;
  }
  return applied;
}

}  // namespace tarnvel::sys
