#include "sysroutines/directory_reader.h"

#include <windows.h>

#include "sysroutines/file_system.h"
#include "sysroutines/paths.h"

namespace tarnvel::sys {

struct DirectoryReader::State {
  HANDLE find = INVALID_HANDLE_VALUE;
  WIN32_FIND_DATAW data{};
  bool pending = false;  // data holds an entry not yet handed out
  bool failed = false;
};

DirectoryReader::DirectoryReader(const std::string& folder) : state_(std::make_unique<State>()) {
  const std::wstring pattern = Utf8ToWide(IncludeTrailingPathDelimiter(folder) + "*");
  state_->find = FindFirstFileW(pattern.c_str(), &state_->data);
  state_->pending = state_->find != INVALID_HANDLE_VALUE;
  // Only an empty drive root (no "." entry) answers "no file": that is empty.
  state_->failed = state_->find == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_NOT_FOUND;
}

DirectoryReader::~DirectoryReader() {
  if (state_->find != INVALID_HANDLE_VALUE) FindClose(state_->find);
}

bool DirectoryReader::IsOpen() const {
  return state_->find != INVALID_HANDLE_VALUE;
}

bool DirectoryReader::Failed() const {
  return state_->failed;
}

std::optional<DirectoryEntry> DirectoryReader::Next() {
  if (state_->find == INVALID_HANDLE_VALUE || state_->failed) return std::nullopt;
  for (;;) {
    if (!state_->pending && FindNextFileW(state_->find, &state_->data) == 0) {
      state_->failed = GetLastError() != ERROR_NO_MORE_FILES;
      return std::nullopt;
    }
    state_->pending = false;
    const std::wstring name = state_->data.cFileName;
    if (name.empty() || name == L"." || name == L"..") continue;
    const DWORD raw = state_->data.dwFileAttributes;
    DirectoryEntry entry;
    entry.name = WideToUtf8(name);
    entry.attributes = raw & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                              FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE);
    if ((raw & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && IsReparseTagNameSurrogate(state_->data.dwReserved0)) {
      entry.attributes |= kAttrLink;
    } else if ((raw & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      entry.size = (static_cast<std::uint64_t>(state_->data.nFileSizeHigh) << 32) | state_->data.nFileSizeLow;
    }
    entry.modified = static_cast<std::int64_t>((static_cast<std::uint64_t>(state_->data.ftLastWriteTime.dwHighDateTime) << 32) |
                                               state_->data.ftLastWriteTime.dwLowDateTime);
    return entry;
  }
}

}  // namespace tarnvel::sys
