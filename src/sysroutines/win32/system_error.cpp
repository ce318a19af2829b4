#include "sysroutines/system_error.h"

#include <windows.h>

#include "sysroutines/paths.h"

namespace tarnvel::sys {
namespace {

// Codes that winerror.h of some toolchains lacks.
constexpr DWORD kDirectoryNotSupported = 336;  // "An operation is not supported on a directory."
constexpr DWORD kDiskQuotaExceeded = 1295;

}  // namespace

SysResult SysResult::LastError() {
  return Failure(static_cast<int>(GetLastError()));
}

SystemErrorKind KindOfSystemError(int errorCode) {
  switch (static_cast<DWORD>(errorCode)) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
    case ERROR_BUSY:
      return SystemErrorKind::FileInUse;
    case ERROR_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD:
      return SystemErrorKind::AccessDenied;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
    case kDiskQuotaExceeded:
      return SystemErrorKind::DiskFull;
    case ERROR_WRITE_PROTECT:
      return SystemErrorKind::ReadOnlyVolume;
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BUFFER_OVERFLOW:
      return SystemErrorKind::NameTooLong;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return SystemErrorKind::NotFound;
    case kDirectoryNotSupported:
      return SystemErrorKind::IsAFolder;
    default:
      return SystemErrorKind::Other;
  }
}

std::string SystemErrorText(int errorCode) {
  wchar_t* text = nullptr;
  // Language 0: the thread's user-interface language first, then the
  // user's and the system's, then English.
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      static_cast<DWORD>(errorCode), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  if (length == 0 || text == nullptr) return "Windows error " + std::to_string(static_cast<DWORD>(errorCode));
  std::wstring words(text, length);
  LocalFree(text);
  while (!words.empty() && (words.back() == L'\r' || words.back() == L'\n' || words.back() == L' '))
    words.pop_back();
  return WideToUtf8(words);
}

int NameTooLongError() {
  return ERROR_FILENAME_EXCED_RANGE;
}

int IsAFolderError() {
  return static_cast<int>(kDirectoryNotSupported);
}

}  // namespace tarnvel::sys
