#include "sysroutines/write_whole_file.h"

#include <windows.h>

#include "sysroutines/paths.h"

namespace tarnvel::sys {

WriteFileResult WriteWholeFile(const std::string& path, std::string_view bytes, bool /*executable*/) {
  HANDLE file = CreateFileW(Utf8ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return WriteFileResult::CannotCreate;
  bool ok = true;
  const char* data = bytes.data();
  std::size_t left = bytes.size();
  while (ok && left > 0) {
    const DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
    DWORD written = 0;
    ok = WriteFile(file, data, chunk, &written, nullptr) != 0 && written == chunk;
    data += written;
    left -= written;
  }
  if (CloseHandle(file) == 0) ok = false;
  return ok ? WriteFileResult::Written : WriteFileResult::WriteFailed;
}

}  // namespace tarnvel::sys
