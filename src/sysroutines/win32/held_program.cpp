#include "sysroutines/held_program.h"

#include <windows.h>

#include <vector>

#include "sysroutines/file_system.h"
#include "sysroutines/paths.h"

namespace tarnvel::sys {

std::unique_ptr<HeldProgram> HeldProgram::Hold(const std::string& path) {
  const std::string fullPath = ExpandFullPath(path);
  if (fullPath.empty()) return nullptr;
  // Sharing reading only: a writer, a rename or a removal is refused while
  // the handle lives, and so is the handle itself when someone already has
  // the file open for any of them. The system's own open when it starts the
  // program reads and executes, which reading covers.
  const HANDLE handle =
      CreateFileW(Utf8ToWide(fullPath).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool plainFile =
      GetFileInformationByHandle(handle, &info) != 0 && GetFileType(handle) == FILE_TYPE_DISK &&
      (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
  if (!plainFile) {
    CloseHandle(handle);
    return nullptr;
  }
  return std::unique_ptr<HeldProgram>(new HeldProgram(fullPath, reinterpret_cast<std::intptr_t>(handle)));
}

HeldProgram::~HeldProgram() {
  CloseHandle(reinterpret_cast<HANDLE>(native_));
}

bool HeldProgram::ReadAll(const std::function<void(std::string_view piece)>& sink) const {
  const HANDLE handle = reinterpret_cast<HANDLE>(native_);
  std::vector<char> buffer(1 << 16);
  // Each read names its offset, so the handle's own position plays no part.
  std::uint64_t offset = 0;
  for (;;) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD read = 0;
    if (ReadFile(handle, buffer.data(), static_cast<DWORD>(buffer.size()), &read, &at) == 0) {
      return GetLastError() == ERROR_HANDLE_EOF;
    }
    if (read == 0) return true;
    sink(std::string_view(buffer.data(), read));
    offset += read;
  }
}

}  // namespace tarnvel::sys
