#include "sysroutines/file_system.h"

#include <windows.h>

#include "sysroutines/paths.h"

namespace tarnvel::sys {
namespace {

constexpr DWORD kWritableBits = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                FILE_ATTRIBUTE_ARCHIVE;

// A symbolic link or junction (a reparse point that names another place);
// other reparse points (cloud placeholders, dedup) are ordinary entries.
bool IsNameSurrogate(const std::wstring& path, DWORD attributes) {
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) return false;
  WIN32_FIND_DATAW data{};
  HANDLE find = FindFirstFileW(path.c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return true;
  FindClose(find);
  return IsReparseTagNameSurrogate(data.dwReserved0);
}

}  // namespace

std::string ExpandFullPath(const std::string& path) {
  const std::wstring wide = Utf8ToWide(path);
  DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::wstring buffer(size, L'\0');
  size = GetFullPathNameW(wide.c_str(), size, buffer.data(), nullptr);
  buffer.resize(size);
  return WideToUtf8(buffer);
}

std::optional<std::uint32_t> GetFileAttributesOf(const std::string& path) {
  const std::wstring wide = Utf8ToWide(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  std::uint32_t result = attributes & (kWritableBits | FILE_ATTRIBUTE_DIRECTORY);
  if (IsNameSurrogate(wide, attributes)) result |= kAttrLink;
  return result;
}

bool SetFileAttributesOf(const std::string& path, std::uint32_t attributes) {
  DWORD bits = attributes & kWritableBits;
  if (bits == 0) bits = FILE_ATTRIBUTE_NORMAL;
  return SetFileAttributesW(Utf8ToWide(path).c_str(), bits) != 0;
}

bool DirectoryExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Utf8ToWide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool FileExists(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Utf8ToWide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DeleteFileAt(const std::string& path) { return DeleteFileW(Utf8ToWide(path).c_str()) != 0; }

bool RemoveEmptyDirectory(const std::string& path) { return RemoveDirectoryW(Utf8ToWide(path).c_str()) != 0; }

bool RemoveLink(const std::string& path) {
  const std::wstring wide = Utf8ToWide(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return RemoveDirectoryW(wide.c_str()) != 0;  // removes the junction, not its target
  }
  return DeleteFileW(wide.c_str()) != 0;
}

bool CreateOneDirectory(const std::string& path) {
  return CreateDirectoryW(Utf8ToWide(path).c_str(), nullptr) != 0;
}

bool CreateDirectoryTree(const std::string& path) {
  if (path.empty()) return false;
  if (DirectoryExists(path)) return true;
  std::string text = path;
  while (text.size() > 1 && (text.back() == '\\' || text.back() == '/')) text.pop_back();
  const std::size_t cut = text.find_last_of("\\/");
  if (cut != std::string::npos && cut > 0) {
    const std::string parent = text.substr(0, cut);
    // Stop at a drive ("C:") or the root of a share ("\\server").
    const bool isRoot = parent.size() == 2 && parent[1] == ':';
    if (!isRoot && parent != "\\" && !CreateDirectoryTree(parent)) return false;
  }
  if (CreateDirectoryW(Utf8ToWide(text).c_str(), nullptr) != 0) return true;
  return GetLastError() == ERROR_ALREADY_EXISTS && DirectoryExists(text);
}

bool RenameEntry(const std::string& from, const std::string& to) {
  return MoveFileW(Utf8ToWide(from).c_str(), Utf8ToWide(to).c_str()) != 0;
}

}  // namespace tarnvel::sys
