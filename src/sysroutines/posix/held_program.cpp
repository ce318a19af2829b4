#include "sysroutines/held_program.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "sysroutines/file_system.h"

namespace tarnvel::sys {

std::unique_ptr<HeldProgram> HeldProgram::Hold(const std::string& path) {
  const std::string fullPath = ExpandFullPath(path);
  if (fullPath.empty()) return nullptr;
  // O_NONBLOCK: a named pipe put in its place must not block the open.
  const int fd = open(fullPath.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st {};
  const bool ours = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid() &&
                    (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
  if (!ours) {
    close(fd);
    return nullptr;
  }
  return std::unique_ptr<HeldProgram>(new HeldProgram(fullPath, fd));
}

HeldProgram::~HeldProgram() {
  close(static_cast<int>(native_));
}

bool HeldProgram::ReadAll(const std::function<void(std::string_view piece)>& sink) const {
  std::vector<char> buffer(1 << 16);
  off_t offset = 0;
  for (;;) {
    const ssize_t n = pread(static_cast<int>(native_), buffer.data(), buffer.size(), offset);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    sink(std::string_view(buffer.data(), static_cast<std::size_t>(n)));
    offset += n;
  }
}

}  // namespace tarnvel::sys
