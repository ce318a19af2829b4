#include "sysroutines/file_copy.h"

#include <windows.h>

#include "sysroutines/file_system.h"
#include "sysroutines/paths.h"
#include "sysroutines/system_error.h"

namespace tarnvel::sys {

namespace {

DWORD CALLBACK ReportProgress(LARGE_INTEGER, LARGE_INTEGER transferred, LARGE_INTEGER, LARGE_INTEGER, DWORD,
                              DWORD, HANDLE, HANDLE, LPVOID data) {
  (*static_cast<const FileCopyProgress*>(data))(static_cast<std::uint64_t>(transferred.QuadPart));
  return PROGRESS_CONTINUE;
}

}  // namespace

SysResult CopyFileWithAttributes(const std::string& source, const std::string& target,
                                 const FileCopyProgress& progress) {
  // CopyFileW answers "access denied" for a folder, which would send the
  // operator after permissions.
  if (const auto sourceAttributes = GetFileAttributesOf(source);
      sourceAttributes && (*sourceAttributes & kAttrDirectory) != 0) {
    return SysResult::Failure(IsAFolderError());
  }
  // CopyFileW writes through a symbolic link in Target's place, to wherever
  // it points: the link itself is replaced instead.
  if (const auto attributes = GetFileAttributesOf(target); attributes && (*attributes & kAttrLink) != 0 &&
                                                           (*attributes & kAttrDirectory) == 0 &&
                                                           !RemoveLink(target)) {
    return SysResult::LastError();
  }
  if (!progress) {
    if (CopyFileW(Utf8ToWide(source).c_str(), Utf8ToWide(target).c_str(), FALSE) == 0)
      return SysResult::LastError();
    return {};
  }
  if (!CopyFileExW(Utf8ToWide(source).c_str(), Utf8ToWide(target).c_str(), &ReportProgress,
                   const_cast<FileCopyProgress*>(&progress), nullptr, 0)) {
    return SysResult::LastError();
  }
  // Wine never calls the progress routine: the end is reported in any case.
  progress(FileSizeOf(target).value_or(0));
  return {};
}

bool CopyLink(const std::string& source, const std::string& target) {
  const std::wstring from = Utf8ToWide(source);
  const std::wstring to = Utf8ToWide(target);
  const DWORD attributes = GetFileAttributesW(from.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    // With a link or junction as template the new folder gets the same reparse point.
    return CreateDirectoryExW(from.c_str(), to.c_str(), nullptr) != 0;
  }
  const DWORD old = GetFileAttributesW(to.c_str());
  if (old != INVALID_FILE_ATTRIBUTES && (old & FILE_ATTRIBUTE_DIRECTORY) == 0) DeleteFileW(to.c_str());
  return CopyFileExW(from.c_str(), to.c_str(), nullptr, nullptr, nullptr, COPY_FILE_COPY_SYMLINK) != 0;
}

}  // namespace tarnvel::sys
