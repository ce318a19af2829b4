#include "sysroutines/read_whole_file.h"

#include <windows.h>

#include "sysroutines/paths.h"

namespace tarnvel::sys {

SysResult ReadWholeFile(const std::string& path, std::string& content) {
  const std::wstring name = Utf8ToWide(path);
  const DWORD attributes = GetFileAttributesW(name.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return SysResult::Failure(IsAFolderError());
  }
  const HANDLE file = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return SysResult::LastError();
  std::string bytes;
  char buffer[4096];
  DWORD error = 0;
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(file, buffer, sizeof buffer, &read, nullptr)) {
      error = GetLastError();
      break;
    }
    if (read == 0) break;
    bytes.append(buffer, read);
  }
  CloseHandle(file);
  if (error != 0) return SysResult::Failure(static_cast<int>(error));
  content = std::move(bytes);
  return {};
}

}  // namespace tarnvel::sys
