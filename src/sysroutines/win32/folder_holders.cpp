#include "sysroutines/folder_holders.h"

#include <windows.h>
#include <restartmanager.h>

#include <set>

#include "sysroutines/win32/handle_walk.h"

#include "sysroutines/directory_reader.h"
#include "sysroutines/file_system.h"
#include "sysroutines/paths.h"

namespace tarnvel::sys {
namespace {

class RestartSession {
 public:
  RestartSession() {
    WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
    open_ = RmStartSession(&handle_, 0, key) == ERROR_SUCCESS;
  }
  ~RestartSession() {
    if (open_) RmEndSession(handle_);
  }
  RestartSession(const RestartSession&) = delete;
  RestartSession& operator=(const RestartSession&) = delete;
  bool IsOpen() const { return open_; }
  DWORD handle() const { return handle_; }

 private:
  DWORD handle_ = 0;
  bool open_ = false;
};

// Registers the files of the tree in batches, so that a big tree is never
// held in memory as a whole; links are not followed.
class FileRegistrar {
 public:
  explicit FileRegistrar(DWORD session) : session_(session) {}
  void Add(std::wstring path) {
    batch_.push_back(std::move(path));
    if (batch_.size() >= 256) Flush();
  }
  void Flush() {
    if (batch_.empty()) return;
    std::vector<LPCWSTR> names;
    for (const std::wstring& name : batch_) names.push_back(name.c_str());
    RmRegisterResources(session_, static_cast<UINT>(names.size()), names.data(), 0, nullptr, 0, nullptr);
    batch_.clear();
  }

 private:
  DWORD session_;
  std::vector<std::wstring> batch_;
};

void RegisterTree(const std::string& folder, FileRegistrar& registrar) {
  DirectoryReader reader(folder);
  while (const auto entry = reader.Next()) {
    const std::string path = IncludeTrailingPathDelimiter(folder) + entry->name;
    if ((entry->attributes & kAttrDirectory) != 0 && (entry->attributes & kAttrLink) == 0) {
      RegisterTree(path, registrar);
    } else if ((entry->attributes & kAttrDirectory) == 0) {
      registrar.Add(Utf8ToWide(path));
    }
  }
}

std::string ImageName(DWORD pid, const WCHAR* fallback) {
  std::wstring name = fallback;
  if (HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid)) {
    WCHAR buffer[MAX_PATH * 2];
    DWORD size = MAX_PATH * 2;
    if (QueryFullProcessImageNameW(process, 0, buffer, &size) != 0) {
      name.assign(buffer, size);
      const std::size_t cut = name.find_last_of(L"\\/");
      if (cut != std::wstring::npos) name = name.substr(cut + 1);
    }
    CloseHandle(process);
  }
  return WideToUtf8(name);
}

void RestartManagerHolders(const std::string& folder, std::vector<FolderHolder>& holders) {
  RestartSession session;
  if (!session.IsOpen()) return;
  FileRegistrar registrar(session.handle());
  RegisterTree(folder, registrar);
  registrar.Flush();

  std::vector<RM_PROCESS_INFO> infos;
  UINT needed = 0;
  for (int attempt = 0; attempt < 4; ++attempt) {
    UINT count = static_cast<UINT>(infos.size());
    DWORD reasons = 0;
    const DWORD status = RmGetList(session.handle(), &needed, &count, infos.empty() ? nullptr : infos.data(), &reasons);
    if (status == ERROR_SUCCESS) {
      infos.resize(count);
      break;
    }
    if (status != ERROR_MORE_DATA) {
      infos.clear();
      break;
    }
    infos.resize(needed);
  }
  for (const RM_PROCESS_INFO& info : infos) {
    holders.push_back({info.Process.dwProcessId, ImageName(info.Process.dwProcessId, info.strAppName)});
  }
}

}  // namespace

std::vector<FolderHolder> FindFolderHolders(const std::string& folder) {
  // The Restart Manager knows the programs behind open files; the handle walk
  // also finds folders held open, such as a program's current folder or a
  // file manager showing the folder.
  std::vector<FolderHolder> found;
  RestartManagerHolders(folder, found);
  for (DWORD pid : ProcessesWithHandlesInside(folder)) found.push_back({pid, ImageName(pid, L"")});
  std::vector<FolderHolder> holders;
  std::set<std::uint32_t> seen;
  for (FolderHolder& holder : found) {
    if (seen.insert(holder.pid).second) holders.push_back(std::move(holder));
  }
  return holders;
}

}  // namespace tarnvel::sys
