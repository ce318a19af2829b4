#include "sysroutines/read_whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tarnvel::sys {

SysResult ReadWholeFile(const std::string& path, std::string& content) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return SysResult::LastError();
  struct stat st {};
  int error = fstat(fd, &st) == 0 ? 0 : errno;
  if (error == 0 && S_ISDIR(st.st_mode)) error = IsAFolderError();
  std::string bytes;
  char buffer[4096];
  while (error == 0) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) error = errno;
    if (n <= 0) break;
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  close(fd);
  if (error != 0) return SysResult::Failure(error);
  content = std::move(bytes);
  return {};
}

}  // namespace tarnvel::sys
