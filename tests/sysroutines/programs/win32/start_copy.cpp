#include "start_copy.h"

#include <windows.h>

#include <string>

std::uint32_t StartCopyOfSelf(const char* seconds) {
  wchar_t self[MAX_PATH] = {};
  if (GetModuleFileNameW(nullptr, self, MAX_PATH) == 0) return 0;
  std::wstring line = L"\"" + std::wstring(self) + L"\" ";
  for (const char* c = seconds; *c != '\0'; ++c) line += static_cast<wchar_t>(*c);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(self, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
    return 0;
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return info.dwProcessId;
}

std::uint32_t OwnProcessId() {
  return GetCurrentProcessId();
}
