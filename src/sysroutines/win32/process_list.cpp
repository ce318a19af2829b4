#include "sysroutines/process_list.h"

#include <windows.h>
// after windows.h, whose types it uses
#include <tlhelp32.h>

#include "sysroutines/paths.h"

namespace tarnvel::sys {
namespace {

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (handle_ && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ && handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

}  // namespace

std::vector<ProcessEntry> TakeProcessSnapshot() {
  std::vector<ProcessEntry> entries;
  const Handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot.valid()) return entries;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
       more = Process32NextW(snapshot.get(), &entry)) {
    std::string name = WideToUtf8(entry.szExeFile);
    if (!name.empty()) entries.push_back({entry.th32ProcessID, name});
  }
  return entries;
}

bool TerminateProcessById(std::uint32_t processId) {
  const Handle process(OpenProcess(PROCESS_TERMINATE, FALSE, processId));
  if (!process.valid()) return false;
  return TerminateProcess(process.get(), 0) != FALSE;
}

}  // namespace tarnvel::sys
