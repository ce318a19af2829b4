#include "child_platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>

std::string OwnCommandLine(int argc, char** argv) {
  std::string line;
  for (int i = 0; i < argc; ++i) line += (i == 0 ? "" : " ") + std::string(argv[i]);
  return line;
}

bool HoldOpen(const std::string& file) {
  return open(file.c_str(), O_RDONLY) >= 0;
}

std::string InheritedDescriptors() {
  DIR* dir = opendir("/proc/self/fd");
  if (dir == nullptr) return "cannot list /proc/self/fd\n";
  std::string list;
  while (const dirent* entry = readdir(dir)) {
    if (entry->d_name[0] == '.') continue;
    const int fd = std::atoi(entry->d_name);
    if (fd <= 2 || fd == dirfd(dir)) continue;
    char target[4096] = {};
    const ssize_t n =
        readlink((std::string("/proc/self/fd/") + entry->d_name).c_str(), target, sizeof target - 1);
    list += std::string(entry->d_name) + " -> " +
            (n > 0 ? std::string(target, static_cast<std::size_t>(n)) : "?") + "\n";
  }
  closedir(dir);
  return list;
}
