#include "sysroutines/durable_rename.h"

#include <windows.h>

#include "sysroutines/paths.h"

namespace tarnvel::sys {

std::string TemporarySiblingName(const std::string& target) {
  return target + ".tmp-" + std::to_string(GetCurrentProcessId());
}

SysResult FlushFileToDisk(const std::string& path) {
  // Flushing needs write access, which a read-only file refuses: the bit is
  // lifted for the flush and put back.
  const std::wstring name = Utf8ToWide(path);
  const DWORD attributes = GetFileAttributesW(name.c_str());
  const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  if (readOnly) SetFileAttributesW(name.c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
  const HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  DWORD error = 0;
  if (file == INVALID_HANDLE_VALUE) {
    error = GetLastError();
  } else {
    if (!FlushFileBuffers(file)) error = GetLastError();
    if (!CloseHandle(file) && error == 0) error = GetLastError();
  }
  if (readOnly) SetFileAttributesW(name.c_str(), attributes);
  return error == 0 ? SysResult() : SysResult::Failure(static_cast<int>(error));
}

bool RenameReplacing(const std::string& from, const std::string& to) {
  const std::wstring target = Utf8ToWide(to);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return false;
  // MoveFileExW refuses to replace a read-only file.
  const bool protectedTarget = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  if (protectedTarget) SetFileAttributesW(target.c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
  if (MoveFileExW(Utf8ToWide(from).c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  if (protectedTarget) SetFileAttributesW(target.c_str(), attributes);
  return false;
}

namespace {

// Writes Bytes through to the disk and closes File, whatever happens.
bool WriteFlushAndClose(HANDLE file, const std::string& bytes) {
  DWORD written = 0;
  bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) != 0 &&
            written == bytes.size();
  ok = FlushFileBuffers(file) != 0 && ok;
  return CloseHandle(file) != 0 && ok;
}

}  // namespace

bool AppendDurably(const std::string& path, const std::string& bytes) {
  const HANDLE file = CreateFileW(Utf8ToWide(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  return file != INVALID_HANDLE_VALUE && WriteFlushAndClose(file, bytes);
}

}  // namespace tarnvel::sys
