#include "sysroutines/report_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <utility>

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
  bool Close() { return close(std::exchange(fd_, -1)) == 0; }
  void Reset(int fd) {
    if (fd_ >= 0) close(fd_);
    fd_ = fd;
  }
  int Release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

bool SameEntry(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

std::string Join(const std::string& folder, const std::string& name) {
  return folder.empty() || folder.back() == '/' ? folder + name : folder + "/" + name;
}

// Path as the system finds it: every link resolved by the kernel itself, so
// that "link/.." is the link target's parent, not the link's; the part that
// does not exist is added as written.
std::string Resolved(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::path existing = fs::absolute(path, error);  // joined to the current folder, nothing removed
  if (error) return path;
  fs::path rest;
  while (true) {
    if (char* real = realpath(existing.c_str(), nullptr)) {
      std::string result = real;
      std::free(real);
      if (rest.empty()) return result;
      result = (fs::path(result) / rest).lexically_normal().string();
      if (result.size() > 1 && result.back() == '/') result.pop_back();
      return result;
    }
    if (existing == existing.parent_path()) return fs::path(path).lexically_normal().string();
    rest = existing.filename() / rest;
    existing = existing.parent_path();
  }
}

// The full path of an open folder, as the kernel knows it now.
std::string PathOfOpenFolder(int folder) {
  char buffer[PATH_MAX];
  const std::string link = "/proc/self/fd/" + std::to_string(folder);
  const ssize_t size = readlink(link.c_str(), buffer, sizeof buffer);
  if (size <= 0 || static_cast<std::size_t>(size) >= sizeof buffer) return {};
  return std::string(buffer, static_cast<std::size_t>(size));
}

// The open folder is Target or lies below it: its ancestors are climbed by
// ".." up to the root, each compared by identity.
bool IsAtOrBelow(int folder, const struct stat& target) {
  Fd current(fcntl(folder, F_DUPFD_CLOEXEC, 0));
  for (int depth = 0; depth < 4096 && current.get() >= 0; ++depth) {
    struct stat here {};
    if (fstat(current.get(), &here) != 0) return false;
    if (SameEntry(here, target)) return true;
    Fd parent(openat(current.get(), "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat above {};
    if (parent.get() < 0 || fstat(parent.get(), &above) != 0 || SameEntry(above, here)) return false;
    current.Reset(parent.Release());
  }
  return false;
}

bool WriteAll(int fd, const std::string& bytes) {
  const char* data = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = write(fd, data, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

ReportFilePlace::ReportFilePlace(const std::string& path) {
  const std::size_t cut = path.find_last_of('/');
  name_ = cut == std::string::npos ? path : path.substr(cut + 1);
  if (name_.empty() || name_ == "." || name_ == "..") return;
  // The folder keeps its last "/", so that "/r.json" opens the root.
  const std::string folder = cut == std::string::npos ? "." : path.substr(0, cut + 1);
  folder_ = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  state_ = folder_ >= 0 ? State::Open : State::NoFolder;
}

ReportFilePlace::~ReportFilePlace() {
  if (folder_ >= 0) close(static_cast<int>(folder_));
}

bool ReportFilePlace::LiesIn(const std::string& folder) const {
  if (state_ != State::Open || folder.empty()) return false;
  const int held = static_cast<int>(folder_);
  const std::string here = PathOfOpenFolder(held);
  if (!here.empty() && Join(here, name_) == Resolved(folder)) return true;
  struct stat target {};
  if (stat(folder.c_str(), &target) != 0 || !S_ISDIR(target.st_mode)) return false;
  return IsAtOrBelow(held, target);
}

EntryKind ReportFilePlace::Kind() const {
  if (state_ != State::Open) return EntryKind::Other;
  struct stat entry {};
  if (fstatat(static_cast<int>(folder_), name_.c_str(), &entry, AT_SYMLINK_NOFOLLOW) != 0)
    return errno == ENOENT ? EntryKind::Nothing : EntryKind::Other;
  if (S_ISLNK(entry.st_mode)) return EntryKind::Link;
  if (S_ISDIR(entry.st_mode)) return EntryKind::Folder;
  return S_ISREG(entry.st_mode) ? EntryKind::File : EntryKind::Other;
}

std::string ReportFilePlace::ReadHead(std::size_t count) const {
  // Only a regular file is opened: opening a device can have effects of its own.
  if (Kind() != EntryKind::File) return {};
  // Without blocking: a pipe put in the file's place meanwhile is seen, not waited on.
  Fd file(openat(static_cast<int>(folder_), name_.c_str(),
                 O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  struct stat opened {};
  if (file.get() < 0 || fstat(file.get(), &opened) != 0 || !S_ISREG(opened.st_mode)) return {};
  std::string head(count, '\0');
  std::size_t done = 0;
  while (done < count) {
    const ssize_t n = read(file.get(), head.data() + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  head.resize(done);
  return head;
}

bool ReportFilePlace::Write(const std::string& bytes) const {
  if (state_ != State::Open) return false;
  const int held = static_cast<int>(folder_);
  const std::string temporary = name_ + ".tmp-" + std::to_string(getpid());
  Fd file(
      openat(held, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0644));
  if (file.get() < 0) return false;
  const bool written = WriteAll(file.get(), bytes) && fsync(file.get()) == 0;
  if (!file.Close() || !written || renameat(held, temporary.c_str(), held, name_.c_str()) != 0) {
    unlinkat(held, temporary.c_str(), 0);
    return false;
  }
  // The new name lasts only once the folder holding it is on the disk.
  fsync(held);
  return true;
}

}  // namespace tarnvel::sys
