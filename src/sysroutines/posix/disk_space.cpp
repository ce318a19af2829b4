#include "sysroutines/disk_space.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace tarnvel::sys {

std::optional<std::uint64_t> TotalFreeBytes(const std::string& path) {
  struct statvfs vfs {};
  if (statvfs(path.c_str(), &vfs) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(vfs.f_bfree) * vfs.f_frsize;
}

std::optional<std::uint64_t> ExclusiveFileSize(const std::string& fileName) {
  const int fd = open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  const bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  close(fd);
  if (!ok) return std::nullopt;
  return static_cast<std::uint64_t>(st.st_size);
}

}  // namespace tarnvel::sys
