#include "sysroutines/file_copy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <vector>

#include "sysroutines/system_error.h"

namespace tarnvel::sys {
namespace {

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return close(fd) == 0;
  }

 private:
  int fd_;
};

constexpr std::size_t kBufferSize = 1 << 20;
constexpr std::size_t kChunk = std::size_t(1) << 30;
// With someone watching, the kernel copies in steps small enough to report
// several times a second and large enough to cost nothing measurable.
constexpr std::size_t kWatchedChunk = std::size_t(32) << 20;

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool ReadWriteLoop(int in, int out, std::uint64_t done, const FileCopyProgress& progress) {
  std::vector<char> buffer(kBufferSize);
  for (;;) {
    const ssize_t n = read(in, buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    if (!WriteAll(out, buffer.data(), static_cast<std::size_t>(n))) return false;
    done += static_cast<std::uint64_t>(n);
    if (progress) progress(done);
  }
}

// The kernel copies inside the page cache (or shares blocks); where it cannot
// (across file systems on old kernels, special files) the plain loop takes over.
bool CopyContent(int in, int out, const FileCopyProgress& progress) {
  bool anyCopied = false;
  std::uint64_t done = 0;
  for (;;) {
    const ssize_t n = copy_file_range(in, nullptr, out, nullptr, progress ? kWatchedChunk : kChunk, 0);
    if (n > 0) {
      anyCopied = true;
      done += static_cast<std::uint64_t>(n);
      if (progress) progress(done);
      continue;
    }
    if (n == 0) return true;
    if (errno == EINTR) continue;
    const bool unsupported = errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP ||
                             errno == EBADF || errno == EPERM;
    if (!unsupported || anyCopied) return false;
    return ReadWriteLoop(in, out, done, progress);
  }
}

// Opens Target for writing without ever following or blocking on what is
// there (-1 with errno set when it cannot): a link, named pipe, socket or device in its place, or a file that
// shares its content with other names (hard links), is replaced by a new
// file, so that a copy never writes outside its own tree.
int OpenTarget(const std::string& target, struct stat& to) {
  struct stat there {};
  if (lstat(target.c_str(), &there) == 0 && !S_ISDIR(there.st_mode) &&
      (!S_ISREG(there.st_mode) || there.st_nlink > 1) && unlink(target.c_str()) != 0) {
    return -1;
  }
  const int fd =
      open(target.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0600);
  if (fd < 0) return -1;
  // Something put back in its place meanwhile is not written to either. On a
  // regular file O_NONBLOCK changes nothing, so it can stay set.
  const bool stated = fstat(fd, &to) == 0;
  if (!stated || !S_ISREG(to.st_mode) || to.st_nlink > 1) {
    const int error = stated ? EEXIST : errno;
    close(fd);
    errno = error;  // the caller's cause
    return -1;
  }
  return fd;
}

}  // namespace

SysResult CopyFileWithAttributes(const std::string& source, const std::string& target,
                                 const FileCopyProgress& progress) {
  // Non-blocking so that a named pipe in a tree cannot stall the copy; it is
  // then refused as not being a file (on a regular file the flag changes nothing).
  Fd in(open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (in.get() < 0) return SysResult::LastError();
  struct stat from {};
  if (fstat(in.get(), &from) != 0) return SysResult::LastError();
  // A pipe, socket or device is refused by the copy itself: no system error to name.
  if (!S_ISREG(from.st_mode)) return SysResult::Failure(S_ISDIR(from.st_mode) ? IsAFolderError() : 0);

  struct stat to {};
  Fd out(OpenTarget(target, to));
  if (out.get() < 0) return SysResult::LastError();
  // Truncating the source itself would destroy it.
  if (to.st_dev == from.st_dev && to.st_ino == from.st_ino) return SysResult::Failure(0);

  // The first failure is the cause; errno is read before anything else can change it.
  int error = 0;
  const auto fail = [&error] {
    if (error == 0) error = errno != 0 ? errno : EIO;
  };
  // A freshly created file is not truncated: on ext4 and XFS a truncation to
  // zero makes the file system write it out on close, which costs more than
  // the copy itself when the files are small.
  errno = 0;
  if (!((to.st_size == 0 || ftruncate(out.get(), 0) == 0) && CopyContent(in.get(), out.get(), progress)))
    fail();
  // The owner goes with the file where we may set it (as root): a database
  // restored from its backup must stay the server's, or the server cannot
  // open it again. Others keep the copy as their own.
  if (error == 0 && fchown(out.get(), from.st_uid, from.st_gid) != 0 && errno != EPERM) fail();
  if (error == 0 && fchmod(out.get(), from.st_mode & 07777) != 0) fail();
  if (error == 0) {
    const struct timespec times[2] = {from.st_atim, from.st_mtim};
    if (futimens(out.get(), times) != 0) fail();
  }
  if (!out.Close()) fail();
  if (error != 0) {
    // A half-written file must not pass for a copy.
    unlink(target.c_str());
    return SysResult::Failure(error);
  }
  return {};
}

bool CopyLink(const std::string& source, const std::string& target) {
  std::vector<char> buffer(4096);
  for (;;) {
    const ssize_t n = readlink(source.c_str(), buffer.data(), buffer.size());
    if (n < 0) return false;
    if (static_cast<std::size_t>(n) < buffer.size()) {
      buffer.resize(static_cast<std::size_t>(n));
      break;
    }
    buffer.resize(buffer.size() * 2);
  }
  const std::string pointsAt(buffer.begin(), buffer.end());
  struct stat st {};
  if (lstat(target.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode) || unlink(target.c_str()) != 0) return false;
  }
  return symlink(pointsAt.c_str(), target.c_str()) == 0;
}

}  // namespace tarnvel::sys
