#include "sysroutines/win32/handle_walk.h"

#include <map>
#include <set>

#include "sysroutines/paths.h"

namespace tarnvel::sys {
namespace {

// The layout of SystemExtendedHandleInformation (class 64), which winternl.h
// does not declare.
struct HandleEntry {
  PVOID object;
  ULONG_PTR pid;
  ULONG_PTR handle;
  ULONG grantedAccess;
  USHORT creatorBackTraceIndex;
  USHORT objectTypeIndex;
  ULONG handleAttributes;
  ULONG reserved;
};
struct HandleTable {
  ULONG_PTR count;
  ULONG_PTR reserved;
  HandleEntry entries[1];
};

constexpr ULONG kSystemExtendedHandleInformation = 64;
constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
using QueryFunction = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);

class Handle {
 public:
  explicit Handle(HANDLE h = nullptr) : h_(h) {}
  ~Handle() {
    if (h_ != nullptr && h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
  }
  Handle(Handle&& other) noexcept : h_(other.h_) { other.h_ = nullptr; }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

std::wstring FinalPath(HANDLE handle) {
  wchar_t buffer[1024];
  const DWORD n = GetFinalPathNameByHandleW(handle, buffer, 1024, FILE_NAME_NORMALIZED);
  if (n == 0 || n >= 1024) return {};
  return std::wstring(buffer, n);
}

bool Inside(const std::wstring& path, const std::wstring& folder) {
  if (path.size() < folder.size()) return false;
  if (CompareStringOrdinal(path.c_str(), static_cast<int>(folder.size()), folder.c_str(),
                           static_cast<int>(folder.size()), TRUE) != CSTR_EQUAL) {
    return false;
  }
  return path.size() == folder.size() || path[folder.size()] == L'\\';
}

std::vector<char> QueryHandleTable() {
  const auto query = reinterpret_cast<QueryFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  std::vector<char> buffer;
  if (query == nullptr) return buffer;
  ULONG size = 1 << 20;
  for (int attempt = 0; attempt < 8; ++attempt) {
    buffer.resize(size);
    ULONG needed = 0;
    const LONG status = query(kSystemExtendedHandleInformation, buffer.data(), size, &needed);
    if (status >= 0) return buffer;
    if (status != kInfoLengthMismatch) break;
    size = needed > size ? needed + (1 << 16) : size * 2;
  }
  buffer.clear();
  return buffer;
}

}  // namespace

std::vector<DWORD> ProcessesWithHandlesInside(const std::string& folder) {
  std::vector<DWORD> result;
  Handle folderHandle(CreateFileW(Utf8ToWide(folder).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (folderHandle.get() == INVALID_HANDLE_VALUE) return result;
  std::wstring target = FinalPath(folderHandle.get());
  while (!target.empty() && target.back() == L'\\') target.pop_back();
  if (target.empty()) return result;

  const std::vector<char> buffer = QueryHandleTable();
  if (buffer.empty()) return result;
  const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
  const std::size_t room = (buffer.size() - offsetof(HandleTable, entries)) / sizeof(HandleEntry);
  const std::size_t count = table->count < room ? table->count : room;

  const DWORD self = GetCurrentProcessId();
  std::map<DWORD, Handle> processes;
  std::set<DWORD> found;
  for (std::size_t i = 0; i < count; ++i) {
    const HandleEntry& entry = table->entries[i];
    const DWORD pid = static_cast<DWORD>(entry.pid);
    if (pid == 0 || found.count(pid) != 0) continue;
    // Our own handle to the folder, opened above, does not count.
    if (pid == self && reinterpret_cast<HANDLE>(entry.handle) == folderHandle.get()) continue;
    auto it = processes.find(pid);
    if (it == processes.end()) {
      it = processes.emplace(pid, Handle(OpenProcess(PROCESS_DUP_HANDLE, FALSE, pid))).first;
    }
    if (it->second.get() == nullptr) continue;
    HANDLE copy = nullptr;
    if (DuplicateHandle(it->second.get(), reinterpret_cast<HANDLE>(entry.handle), GetCurrentProcess(), &copy, 0,
                        FALSE, DUPLICATE_SAME_ACCESS) == 0) {
      continue;
    }
    Handle duplicate(copy);
    // Only disk files and folders: asking a pipe for its name can block.
    if (GetFileType(duplicate.get()) != FILE_TYPE_DISK) continue;
    if (Inside(FinalPath(duplicate.get()), target)) found.insert(pid);
  }
  result.assign(found.begin(), found.end());
  return result;
}

}  // namespace tarnvel::sys
