#include "sysroutines/directory_handle.h"

#include <windows.h>
#include <winternl.h>

#include <vector>

#include "sysroutines/file_system.h"
#include "sysroutines/paths.h"

namespace tarnvel::sys {

struct DirectoryHandle::State {
  HANDLE handle = INVALID_HANDLE_VALUE;
  // Entries come in batches; Offset is the next one in Batch, or npos when a
  // new batch must be read.
  std::vector<char> batch;
  std::size_t offset = std::string::npos;
  bool ended = false;
  bool failed = false;
  ~State() {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};

namespace {

constexpr NTSTATUS kNotADirectory = static_cast<NTSTATUS>(0xC0000103);
constexpr NTSTATUS kNameNotFound = static_cast<NTSTATUS>(0xC0000034);
constexpr NTSTATUS kPathNotFound = static_cast<NTSTATUS>(0xC000003A);
constexpr ULONG kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// Room for at least one entry with a name of 255 characters.
constexpr std::size_t kBatchBytes = 2048;

bool IsPlainName(const std::wstring& name) {
  // A colon would name a stream of the file, not the file.
  return !name.empty() && name != L"." && name != L".." && name.find_first_of(L"\\/:") == std::wstring::npos;
}

// A symbolic link or junction: a reparse point that names another place.
// A reparse point whose tag is unknown is taken for one too (Wine reports a
// Unix link to a folder with tag 0); other tags (cloud placeholders, dedup)
// are ordinary entries.
bool IsLink(DWORD attributes, DWORD tag) {
  return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && (tag == 0 || IsReparseTagNameSurrogate(tag));
}

// Opens Name relative to the folder Parent, the entry itself, never what a
// link or junction points at.
NTSTATUS OpenRelative(HANDLE parent, const std::wstring& name, ACCESS_MASK access, ULONG options,
                      HANDLE& opened) {
  UNICODE_STRING text;
  text.Buffer = const_cast<PWSTR>(name.c_str());
  text.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
  text.MaximumLength = text.Length;
  OBJECT_ATTRIBUTES object;
  InitializeObjectAttributes(&object, &text, OBJ_CASE_INSENSITIVE, parent, nullptr);
  IO_STATUS_BLOCK status{};
  return NtCreateFile(
      &opened, access | SYNCHRONIZE, &object, &status, nullptr, 0, kShareAll, FILE_OPEN,
      options | FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_FOR_BACKUP_INTENT, nullptr,
      0);
}

// The entry Name of the folder Parent shows as a reparse point when looked
// at by its path. Wine answers no such question relative to a handle, and
// opens a Unix link's target whatever it is asked: this look is the only
// way there to tell the link from a folder.
bool NamedAsReparsePoint(HANDLE parent, const std::wstring& name) {
  std::wstring folder(MAX_PATH, L'\0');
  DWORD size = GetFinalPathNameByHandleW(parent, folder.data(), static_cast<DWORD>(folder.size()), 0);
  if (size >= folder.size()) {
    folder.resize(size + 1);
    size = GetFinalPathNameByHandleW(parent, folder.data(), static_cast<DWORD>(folder.size()), 0);
  }
  if (size == 0 || size >= folder.size()) return false;
  folder.resize(size);
  if (folder.back() != L'\\') folder += L'\\';
  const DWORD attributes = GetFileAttributesW((folder + name).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool TagInfo(HANDLE handle, FILE_ATTRIBUTE_TAG_INFO& info) {
  return GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &info, sizeof info) != 0;
}

// What was opened as Name of Parent is a link or junction itself, or the
// open went through one (Wine).
bool OpenedALink(HANDLE parent, const std::wstring& name, const FILE_ATTRIBUTE_TAG_INFO& opened) {
  if (IsLink(opened.FileAttributes, opened.ReparseTag)) return true;
  return (opened.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 && NamedAsReparsePoint(parent, name);
}

// Marks the opened entry for deletion; it goes when the handle is closed.
bool DeleteOnClose(HANDLE handle) {
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = TRUE;
  return SetFileInformationByHandle(handle, FileDispositionInfo, &disposition, sizeof disposition) != 0;
}

class OwnedHandle {
 public:
  explicit OwnedHandle(HANDLE handle) : handle_(handle) {}
  ~OwnedHandle() { CloseHandle(handle_); }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// Splits a full path into its folder (with its delimiter) and last name,
// trailing delimiters dropped.
void SplitLastName(const std::wstring& path, std::wstring& folder, std::wstring& name) {
  std::wstring text = path;
  while (text.size() > 1 && (text.back() == L'\\' || text.back() == L'/')) text.pop_back();
  const std::size_t cut = text.find_last_of(L"\\/");
  folder = cut == std::wstring::npos ? std::wstring() : text.substr(0, cut + 1);
  name = cut == std::wstring::npos ? std::wstring() : text.substr(cut + 1);
}

}  // namespace

DirectoryHandle::DirectoryHandle() : state_(std::make_unique<State>()) {}
DirectoryHandle::DirectoryHandle(std::unique_ptr<State> state) : state_(std::move(state)) {}
DirectoryHandle::~DirectoryHandle() = default;
DirectoryHandle::DirectoryHandle(DirectoryHandle&& other) noexcept = default;
DirectoryHandle& DirectoryHandle::operator=(DirectoryHandle&& other) noexcept = default;

bool DirectoryHandle::IsOpen() const {
  return state_ != nullptr && state_->handle != INVALID_HANDLE_VALUE;
}

DirectoryHandle DirectoryHandle::OpenParentOf(const std::string& path, std::string& name) {
  std::wstring folder, last;
  SplitLastName(Utf8ToWide(ExpandFullPath(path)), folder, last);
  name = WideToUtf8(last);
  if (!IsPlainName(last) || folder.size() < 3) return DirectoryHandle();
  auto state = std::make_unique<State>();
  state->handle = CreateFileW(folder.c_str(), FILE_LIST_DIRECTORY | FILE_TRAVERSE | SYNCHRONIZE, kShareAll,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (state->handle == INVALID_HANDLE_VALUE) return DirectoryHandle();
  return DirectoryHandle(std::move(state));
}

DirectoryHandle::Opened DirectoryHandle::OpenFolder(const std::string& name, DirectoryHandle& folder) const {
  folder = DirectoryHandle();
  const std::wstring wide = Utf8ToWide(name);
  if (!IsOpen() || !IsPlainName(wide)) return Opened::kFailed;
  HANDLE opened = INVALID_HANDLE_VALUE;
  const NTSTATUS status = OpenRelative(state_->handle, wide, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                                       FILE_DIRECTORY_FILE, opened);
  if (status == kNotADirectory) return Opened::kNotAFolder;
  if (status == kNameNotFound || status == kPathNotFound) return Opened::kMissing;
  if (status < 0) return Opened::kFailed;
  auto state = std::make_unique<State>();
  state->handle = opened;
  // What was opened counts, not what the listing said a moment before.
  FILE_ATTRIBUTE_TAG_INFO info{};
  if (!TagInfo(opened, info)) return Opened::kFailed;
  if (OpenedALink(state_->handle, wide, info)) return Opened::kNotAFolder;
  folder = DirectoryHandle(std::move(state));
  return Opened::kFolder;
}

std::optional<DirectoryEntry> DirectoryHandle::Next() {
  if (!IsOpen() || state_->failed || state_->ended) return std::nullopt;
  State& s = *state_;
  for (;;) {
    if (s.offset == std::string::npos) {
      s.batch.resize(kBatchBytes);
      if (!GetFileInformationByHandleEx(s.handle, FileFullDirectoryInfo, s.batch.data(),
                                        static_cast<DWORD>(s.batch.size()))) {
        s.failed = GetLastError() != ERROR_NO_MORE_FILES;
        s.ended = true;
        return std::nullopt;
      }
      s.offset = 0;
    }
    const auto* info = reinterpret_cast<const FILE_FULL_DIR_INFO*>(s.batch.data() + s.offset);
    s.offset = info->NextEntryOffset == 0 ? std::string::npos : s.offset + info->NextEntryOffset;
    const std::wstring name(info->FileName, info->FileNameLength / sizeof(wchar_t));
    if (name == L"." || name == L"..") continue;
    DirectoryEntry entry;
    entry.name = WideToUtf8(name);
    const DWORD raw = info->FileAttributes;
    entry.attributes = raw & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                              FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE);
    // For a reparse point the system puts its tag where the size of the
    // extended attributes would be.
    if (IsLink(raw, info->EaSize)) {
      entry.attributes |= kAttrLink;
    } else if ((raw & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      entry.size = static_cast<std::uint64_t>(info->EndOfFile.QuadPart);
    }
    entry.modified = info->LastWriteTime.QuadPart;
    return entry;
  }
}

bool DirectoryHandle::Failed() const {
  return !IsOpen() || state_->failed;
}

bool DirectoryHandle::RemoveEntry(const std::string& name) const {
  const std::wstring wide = Utf8ToWide(name);
  if (!IsOpen() || !IsPlainName(wide)) return false;
  HANDLE opened = INVALID_HANDLE_VALUE;
  if (OpenRelative(state_->handle, wide, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, 0, opened) <
      0) {
    return false;
  }
  const OwnedHandle entry(opened);
  FILE_ATTRIBUTE_TAG_INFO info{};
  if (!TagInfo(entry.get(), info)) return false;
  // A folder is emptied first, never deleted as an entry; nor is the folder
  // a link leads to when the open went through the link (Wine).
  if ((info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
      !IsLink(info.FileAttributes, info.ReparseTag)) {
    return false;
  }
  if ((info.FileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
    FILE_BASIC_INFO basic{};  // times of zero stay as they are
    basic.FileAttributes =
        (info.FileAttributes | FILE_ATTRIBUTE_ARCHIVE) & ~DWORD(FILE_ATTRIBUTE_READONLY) &
        (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_DIRECTORY);
    if (!SetFileInformationByHandle(entry.get(), FileBasicInfo, &basic, sizeof basic)) return false;
  }
  return DeleteOnClose(entry.get());
}

bool DirectoryHandle::RemoveFolder(const std::string& name) const {
  const std::wstring wide = Utf8ToWide(name);
  if (!IsOpen() || !IsPlainName(wide)) return false;
  HANDLE opened = INVALID_HANDLE_VALUE;
  if (OpenRelative(state_->handle, wide, DELETE | FILE_READ_ATTRIBUTES, FILE_DIRECTORY_FILE, opened) < 0) {
    return false;
  }
  const OwnedHandle folder(opened);
  FILE_ATTRIBUTE_TAG_INFO info{};
  if (!TagInfo(folder.get(), info) || OpenedALink(state_->handle, wide, info)) return false;
  // A folder that is not empty refuses this; it stays as it is.
  return DeleteOnClose(folder.get());
}

}  // namespace tarnvel::sys
