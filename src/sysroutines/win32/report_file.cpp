#include "sysroutines/report_file.h"

#include <windows.h>

#include <utility>

#include "sysroutines/paths.h"

namespace tarnvel::sys {
namespace {

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (IsValid()) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }
  bool IsValid() const { return handle_ != INVALID_HANDLE_VALUE; }
  bool Close() { return CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE)) != 0; }

 private:
  HANDLE handle_;
};

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE HeldFolder(std::intptr_t folder) {
  return reinterpret_cast<HANDLE>(folder);
}

std::wstring FullPath(const std::wstring& path) {
  DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return {};
  std::wstring full(size, L'\0');
  size = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  if (size == 0 || size >= full.size()) return {};
  full.resize(size);
  return full;
}

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
  if (name.empty()) return folder;
  return folder.empty() || folder.back() == L'\\' ? folder + name : folder + L'\\' + name;
}

// The path an open file or folder finally names (links, junctions and mount
// points followed), without the "\\?\" prefix, so that device names keep
// their meaning when it is used; empty when it cannot be told.
std::wstring FinalPathOf(HANDLE handle) {
  std::wstring buffer(MAX_PATH, L'\0');
  DWORD size = GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()), 0);
  if (size >= buffer.size()) {
    buffer.resize(size + 1);
    size = GetFinalPathNameByHandleW(handle, buffer.data(), static_cast<DWORD>(buffer.size()), 0);
  }
  if (size == 0 || size >= buffer.size()) return {};
  buffer.resize(size);
  if (buffer.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\" + buffer.substr(7);
  if (buffer.rfind(L"\\\\?\\", 0) == 0) return buffer.substr(4);
  return buffer;
}

// Path as the system finds it: the deepest part of it that exists with every
// link followed, and the rest as written.
std::wstring Resolved(const std::wstring& path) {
  std::wstring existing = FullPath(path);
  std::wstring rest;
  while (!existing.empty()) {
    const Handle opened(CreateFileW(existing.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (opened.IsValid()) {
      const std::wstring final = FinalPathOf(opened.get());
      if (!final.empty()) return Join(final, rest);
    }
    const std::size_t cut = existing.find_last_of(L"\\/");
    if (cut == std::wstring::npos || cut + 1 == existing.size()) break;  // a root that cannot be opened
    rest = Join(existing.substr(cut + 1), rest);
    existing.resize(cut);
    if (existing.size() == 2 && existing[1] == L':') existing += L'\\';  // "C:" alone is C's current folder
  }
  return FullPath(path);
}

bool SameText(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                              TRUE) == CSTR_EQUAL;
}

// Inner is Folder or lies below it; Windows names are the same in any case.
bool IsAtOrBelow(const std::wstring& inner, const std::wstring& folder) {
  if (folder.empty()) return false;
  if (SameText(inner, folder)) return true;
  const std::wstring prefix = folder.back() == L'\\' ? folder : folder + L'\\';
  return inner.size() > prefix.size() && SameText(inner.substr(0, prefix.size()), prefix);
}

bool WriteAll(HANDLE file, const std::string& bytes) {
  const char* data = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const DWORD chunk = static_cast<DWORD>(left < (1u << 30) ? left : (1u << 30));
    DWORD written = 0;
    if (!WriteFile(file, data, chunk, &written, nullptr) || written == 0) return false;
    data += written;
    left -= written;
  }
  return true;
}

}  // namespace

ReportFilePlace::ReportFilePlace(const std::string& path) {
  // "dir\." and "dir\.." name folders, which the full path would hide.
  const std::size_t lastCut = path.find_last_of("\\/");
  const std::string last = lastCut == std::string::npos ? path : path.substr(lastCut + 1);
  if (last == "." || last == "..") return;
  const std::wstring full = FullPath(Utf8ToWide(path));
  if (full.empty() || full.rfind(L"\\\\.\\", 0) == 0) return;  // nothing, or a device such as NUL or COM1
  const std::size_t cut = full.find_last_of(L"\\/");
  if (cut == std::wstring::npos) return;
  const std::wstring name = full.substr(cut + 1);
  // A colon in the name names a stream of a file ("notes.txt:report"), not a file.
  if (name.empty() || name == L"." || name == L".." || name.find(L':') != std::wstring::npos) return;
  name_ = WideToUtf8(name);
  // Read access takes part in sharing: without the sharing of its deletion
  // the folder can be neither renamed nor removed while it is held.
  const HANDLE folder = CreateFileW(
      full.substr(0, cut + 1).c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  BY_HANDLE_FILE_INFORMATION information{};
  if (folder == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(folder, &information) ||
      (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    if (folder != INVALID_HANDLE_VALUE) CloseHandle(folder);
    state_ = State::NoFolder;
    return;
  }
  folder_ = reinterpret_cast<std::intptr_t>(folder);
  state_ = State::Open;
}

ReportFilePlace::~ReportFilePlace() {
  if (state_ == State::Open) CloseHandle(HeldFolder(folder_));
}

bool ReportFilePlace::LiesIn(const std::string& folder) const {
  if (state_ != State::Open || folder.empty()) return false;
  const std::wstring here = FinalPathOf(HeldFolder(folder_));
  if (here.empty()) return false;
  return IsAtOrBelow(Join(here, Utf8ToWide(name_)), Resolved(Utf8ToWide(folder)));
}

EntryKind ReportFilePlace::Kind() const {
  if (state_ != State::Open) return EntryKind::Other;
  const std::wstring here = FinalPathOf(HeldFolder(folder_));
  if (here.empty()) return EntryKind::Other;
  const std::wstring target = Join(here, Utf8ToWide(name_));
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? EntryKind::Nothing
                                                                          : EntryKind::Other;
  }
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return EntryKind::Link;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return EntryKind::Folder;
  // A device name (NUL, COM1) answers like a file in any folder: only an
  // opened handle tells.
  const Handle opened(CreateFileW(target.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  return opened.IsValid() && GetFileType(opened.get()) == FILE_TYPE_DISK ? EntryKind::File : EntryKind::Other;
}

std::string ReportFilePlace::ReadHead(std::size_t count) const {
  if (Kind() != EntryKind::File) return {};
  const std::wstring target = Join(FinalPathOf(HeldFolder(folder_)), Utf8ToWide(name_));
  const Handle file(CreateFileW(target.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file.IsValid() || GetFileType(file.get()) != FILE_TYPE_DISK) return {};
  std::string head(count, '\0');
  std::size_t done = 0;
  while (done < count) {
    DWORD read = 0;
    if (!ReadFile(file.get(), head.data() + done, static_cast<DWORD>(count - done), &read, nullptr) ||
        read == 0)
      break;
    done += read;
  }
  head.resize(done);
  return head;
}

bool ReportFilePlace::Write(const std::string& bytes) const {
  if (state_ != State::Open) return false;
  const std::wstring here = FinalPathOf(HeldFolder(folder_));
  if (here.empty()) return false;
  const std::wstring target = Join(here, Utf8ToWide(name_));
  const std::wstring temporary = target + L".tmp-" + std::to_wstring(GetCurrentProcessId());
  Handle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file.IsValid()) return false;
  const bool written = WriteAll(file.get(), bytes) && FlushFileBuffers(file.get());
  if (!file.Close() || !written ||
      !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace tarnvel::sys
