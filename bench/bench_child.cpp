#include "bench_child.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>

namespace tarnvel::bench {
namespace {

std::string workFolder = ".";

void SyncWorkFileSystem() {
  const int fd = open(workFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0 || syncfs(fd) != 0) sync();
  if (fd >= 0) close(fd);
}

void DropCaches() {
  SyncWorkFileSystem();
  if (geteuid() == 0) std::ofstream("/proc/sys/vm/drop_caches") << "3\n";
}

}  // namespace

void SetWorkFolder(const std::string& folder) {
  workFolder = folder;
}

Measure RunInChild(const std::function<int()>& body) {
  DropCaches();
  std::fflush(stdout);
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    const int code = body();
    SyncWorkFileSystem();
    std::fflush(stdout);
    _exit(code);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  Measure m;
  m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  m.peakKb = usage.ru_maxrss;
  m.status = status;
  return m;
}

int Shell(const std::string& command) {
  return std::system(command.c_str()) == 0 ? 0 : 1;
}

int Ours(const std::function<void()>& action) {
  try {
    action();
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "failed: %s\n", e.what());
    return 1;
  }
}

}  // namespace tarnvel::bench
