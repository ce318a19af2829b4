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
  // Only a regular file is opened at all: opening a named pipe would wait for
  // a writer, and opening a device can act on it. Non-blocking in case one
  // was put in its place since.
  struct stat before {};
  if (stat(fileName.c_str(), &before) != 0 || !S_ISREG(before.st_mode)) return std::nullopt;
  const int fd = open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  const bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  close(fd);
  if (!ok) return std::nullopt;
  return static_cast<std::uint64_t>(st.st_size);
}

}  // namespace tarnvel::sys
