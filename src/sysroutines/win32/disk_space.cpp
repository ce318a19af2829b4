#include "sysroutines/disk_space.h"

#include <windows.h>

#include "sysroutines/paths.h"

namespace tarnvel::sys {

std::optional<std::uint64_t> TotalFreeBytes(const std::string& path) {
  ULARGE_INTEGER available{}, total{}, totalFree{};
  if (GetDiskFreeSpaceExW(Utf8ToWide(path).c_str(), &available, &total, &totalFree) == 0) return std::nullopt;
  return totalFree.QuadPart;
}

std::optional<std::uint64_t> ExclusiveFileSize(const std::string& fileName) {
  HANDLE file = CreateFileW(Utf8ToWide(fileName).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  LARGE_INTEGER size{};
  // A device name such as NUL or CON opens too, but has no size of a file.
  const bool ok = GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &size) != 0;
  CloseHandle(file);
  if (!ok) return std::nullopt;
  return static_cast<std::uint64_t>(size.QuadPart);
}

}  // namespace tarnvel::sys
