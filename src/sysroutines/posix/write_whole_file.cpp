#include "sysroutines/write_whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tarnvel::sys {

WriteFileResult WriteWholeFile(const std::string& path, std::string_view bytes, bool executable) {
  // A program is never created writable by its group or by others, whatever
  // the umask: one that others could write is one they could change before
  // it runs.
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, executable ? 0755 : 0666);
  if (fd < 0) return WriteFileResult::CannotCreate;
  bool ok = true;
  const char* data = bytes.data();
  std::size_t left = bytes.size();
  while (ok && left > 0) {
    const ssize_t n = write(fd, data, left);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) {
      data += n;
      left -= static_cast<std::size_t>(n);
    }
  }
  if (ok && executable) {
    // An existing file keeps its old mode through O_TRUNC.
    struct stat st {};
    ok = fstat(fd, &st) == 0 &&
         fchmod(fd, (st.st_mode | ((st.st_mode & 0444) >> 2)) & ~mode_t{S_IWGRP | S_IWOTH}) == 0;
  }
  if (close(fd) != 0) ok = false;
  return ok ? WriteFileResult::Written : WriteFileResult::WriteFailed;
}

}  // namespace tarnvel::sys
