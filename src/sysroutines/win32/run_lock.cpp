#include "sysroutines/run_lock.h"

#include <windows.h>

#include "sysroutines/file_system.h"
#include "sysroutines/paths.h"
#include "sysroutines/terminal.h"

namespace tarnvel::sys {

struct RunLock::State {
  HANDLE file = INVALID_HANDLE_VALUE;
};

unsigned long CurrentProcessId() {
  return GetCurrentProcessId();
}

std::string MachineStateFolder() {
  if (const auto folder = EnvironmentVariable("TARNVEL_STATE_DIR"); folder && !folder->empty()) return *folder;
  const auto data = EnvironmentVariable("ProgramData");
  return (data && !data->empty() ? *data : std::string("C:\\ProgramData")) + "\\TarnVel";
}

std::string RunLockFile() {
  return MachineStateFolder() + "\\updater.lock";
}

RunLock::RunLock(std::unique_ptr<State> state) : state_(std::move(state)) {}

RunLock::~RunLock() {
  if (state_ && state_->file != INVALID_HANDLE_VALUE) CloseHandle(state_->file);
}

std::unique_ptr<RunLock> RunLock::TryAcquire(const std::string& file, const std::string& holder,
                                             std::string& holderFound) {
  holderFound.clear();
  const std::size_t cut = file.find_last_of('\\');
  if (cut != std::string::npos && cut > 0) CreateDirectoryTree(file.substr(0, cut));
  const std::wstring name = Utf8ToWide(file);
  // Readers may look at who holds it; nobody else may open it for writing,
  // which is the lock. The system closes the handle when the process ends.
  const HANDLE handle = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error != ERROR_SHARING_VIOLATION) {
      holderFound = "The lock file " + file + " cannot be opened (error " + std::to_string(error) + ").";
      return nullptr;
    }
    const HANDLE reader = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (reader != INVALID_HANDLE_VALUE) {
      char buffer[4096];
      DWORD read = 0;
      if (ReadFile(reader, buffer, sizeof buffer, &read, nullptr) && read > 0) holderFound.assign(buffer, read);
      CloseHandle(reader);
    }
    return nullptr;
  }
  auto state = std::make_unique<State>();
  state->file = handle;
  DWORD written = 0;
  SetFilePointer(handle, 0, nullptr, FILE_BEGIN);
  SetEndOfFile(handle);
  WriteFile(handle, holder.data(), static_cast<DWORD>(holder.size()), &written, nullptr);
  FlushFileBuffers(handle);
  return std::unique_ptr<RunLock>(new RunLock(std::move(state)));
}

}  // namespace tarnvel::sys
