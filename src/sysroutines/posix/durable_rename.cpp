#include "sysroutines/durable_rename.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tarnvel::sys {
namespace {

bool FlushPath(const std::string& path, int flags) {
  const int fd = open(path.c_str(), flags | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY);
  if (fd < 0) return false;
  const bool flushed = fsync(fd) == 0;
  return close(fd) == 0 && flushed;
}

std::string FolderOf(const std::string& path) {
  const std::size_t cut = path.find_last_of('/');
  if (cut == std::string::npos) return ".";
  return cut == 0 ? "/" : path.substr(0, cut);
}

}  // namespace

std::string TemporarySiblingName(const std::string& target) {
  return target + ".tmp-" + std::to_string(getpid());
}

SysResult FlushFileToDisk(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY);
  if (fd < 0) return SysResult::LastError();
  const int error = fsync(fd) == 0 ? 0 : errno;
  if (close(fd) != 0 && error == 0) return SysResult::LastError();
  return error == 0 ? SysResult() : SysResult::Failure(error);
}

bool RenameReplacing(const std::string& from, const std::string& to) {
  struct stat there {};
  if (lstat(to.c_str(), &there) == 0 && S_ISDIR(there.st_mode)) return false;
  if (rename(from.c_str(), to.c_str()) != 0) return false;
  // The new name is only safe once the folder that holds it is on the disk;
  // the rename has happened either way, so a folder that cannot be flushed
  // (some file systems refuse fsync on folders) does not undo it.
  FlushPath(FolderOf(to), O_RDONLY | O_DIRECTORY);
  return true;
}

namespace {

bool WriteAndFlush(int fd, const std::string& bytes) {
  const char* data = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = write(fd, data, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    left -= static_cast<std::size_t>(n);
  }
  return fsync(fd) == 0;
}

}  // namespace

bool AppendDurably(const std::string& path, const std::string& bytes) {
  const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0644);
  if (fd < 0) return false;
  const bool ok = WriteAndFlush(fd, bytes);
  return close(fd) == 0 && ok;
}

}  // namespace tarnvel::sys
