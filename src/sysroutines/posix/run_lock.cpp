#include "sysroutines/run_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "sysroutines/file_system.h"
#include "sysroutines/terminal.h"

namespace tarnvel::sys {

struct RunLock::State {
  int fd = -1;
};

unsigned long CurrentProcessId() {
  return static_cast<unsigned long>(getpid());
}

std::string MachineStateFolder() {
  if (const auto folder = EnvironmentVariable("TARNVEL_STATE_DIR"); folder && !folder->empty()) return *folder;
  return "/var/lib/tarnvel";
}

std::string RunLockFile() {
  if (const auto folder = EnvironmentVariable("TARNVEL_STATE_DIR"); folder && !folder->empty())
    return *folder + "/updater.lock";
  return "/run/lock/tarnvel-updater.lock";
}

RunLock::RunLock(std::unique_ptr<State> state) : state_(std::move(state)) {}

RunLock::~RunLock() {
  if (state_ && state_->fd >= 0) close(state_->fd);
}

std::unique_ptr<RunLock> RunLock::TryAcquire(const std::string& file, const std::string& holder,
                                             std::string& holderFound) {
  holderFound.clear();
  const std::size_t cut = file.find_last_of('/');
  if (cut != std::string::npos && cut > 0) CreateDirectoryTree(file.substr(0, cut));
  // Never through a link: the lock file is written to.
  const int fd = open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0644);
  if (fd < 0) {
    holderFound = "The lock file " + file + " cannot be opened: " + std::strerror(errno);
    return nullptr;
  }
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    char buffer[4096];
    const ssize_t n = pread(fd, buffer, sizeof buffer, 0);
    if (n > 0) holderFound.assign(buffer, static_cast<std::size_t>(n));
    close(fd);
    return nullptr;
  }
  auto state = std::make_unique<State>();
  state->fd = fd;
  if (ftruncate(fd, 0) == 0) {
    const ssize_t written = pwrite(fd, holder.data(), holder.size(), 0);
    (void)written;  // who holds the lock is told as well as it can be; the lock itself is what counts
  }
  return std::unique_ptr<RunLock>(new RunLock(std::move(state)));
}

}  // namespace tarnvel::sys
