#include "sysroutines/file_system.h"

#include <windows.h>

#include "sysroutines/paths.h"

namespace tarnvel::sys {
namespace {

constexpr DWORD kWritableBits =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

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

// The path a folder finally names, links and junctions followed, without the
// "\\?\" prefix; the full path itself when the folder cannot be opened.
std::wstring FinalPath(const std::wstring& full) {
  HANDLE folder =
      CreateFileW(full.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (folder == INVALID_HANDLE_VALUE) return full;
  std::wstring buffer(MAX_PATH, L'\0');
  DWORD size = GetFinalPathNameByHandleW(folder, buffer.data(), static_cast<DWORD>(buffer.size()), 0);
  if (size >= buffer.size()) {
    buffer.resize(size + 1);
    size = GetFinalPathNameByHandleW(folder, buffer.data(), static_cast<DWORD>(buffer.size()), 0);
  }
  CloseHandle(folder);
  if (size == 0 || size >= buffer.size()) return full;
  buffer.resize(size);
  if (buffer.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\" + buffer.substr(7);
  if (buffer.rfind(L"\\\\?\\", 0) == 0) return buffer.substr(4);
  return buffer;
}

std::wstring WithDelimiter(std::wstring path) {
  if (path.empty() || (path.back() != L'\\' && path.back() != L'/')) path += L'\\';
  return path;
}

}  // namespace

bool IsFileSystemRoot(const std::string& path) {
  if (path.empty()) return false;
  const std::wstring wide = Utf8ToWide(path);
  DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (size == 0) return false;
  std::wstring full(size, L'\0');
  size = GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
  full.resize(size);
  for (const std::wstring& candidate : {full, FinalPath(full)}) {
    std::wstring volume(candidate.size() + MAX_PATH, L'\0');
    if (GetVolumePathNameW(candidate.c_str(), volume.data(), static_cast<DWORD>(volume.size())) == 0)
      continue;
    volume.resize(wcslen(volume.c_str()));
    if (CompareStringOrdinal(WithDelimiter(candidate).c_str(), -1, WithDelimiter(volume).c_str(), -1, TRUE) ==
        CSTR_EQUAL) {
      return true;
    }
  }
  return false;
}

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

std::optional<std::uint64_t> FileSizeOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(Utf8ToWide(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  if ((data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0)
    return std::nullopt;
  return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool DeleteFileAt(const std::string& path) {
  return DeleteFileW(Utf8ToWide(path).c_str()) != 0;
}

bool RemoveEmptyDirectory(const std::string& path) {
  return RemoveDirectoryW(Utf8ToWide(path).c_str()) != 0;
}

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
