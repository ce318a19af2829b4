#include "sysroutines/folder_probe.h"

#include <windows.h>

#include <atomic>
#include <string>

#include "sysroutines/paths.h"

namespace tarnvel::sys {

SysResult CanCreateFileIn(const std::string& folder) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name = folder + "\\.tarnvel-probe-" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(counter.fetch_add(1));
    // CREATE_NEW never opens what is there, a link included; the file goes
    // with its handle.
    HANDLE file = CreateFileW(Utf8ToWide(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      if (GetLastError() == ERROR_FILE_EXISTS) continue;
      return SysResult::LastError();
    }
    CloseHandle(file);
    return {};
  }
  return SysResult::Failure(ERROR_FILE_EXISTS);
}

bool VolumeSharesCopiedBlocks(const std::string&) {
  // Windows copies byte for byte (CopyFileW): a backup always takes its full size.
  return false;
}

}  // namespace tarnvel::sys
