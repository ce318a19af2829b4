#include "sysroutines/folder_probe.h"

#include <fcntl.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace tarnvel::sys {

SysResult CanCreateFileIn(const std::string& folder) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name = folder + "/.tarnvel-probe-" + std::to_string(getpid()) + "-" +
                             std::to_string(counter.fetch_add(1));
    const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;  // someone's entry: never touched, another name is tried
      return SysResult::LastError();
    }
    close(fd);
    unlink(name.c_str());
    return {};
  }
  return SysResult::Failure(EEXIST);
}

bool VolumeSharesCopiedBlocks(const std::string& path) {
  constexpr long kBtrfsMagic = 0x9123683E;
  struct statfs info {};
  return statfs(path.c_str(), &info) == 0 && static_cast<long>(info.f_type) == kBtrfsMagic;
}

}  // namespace tarnvel::sys
