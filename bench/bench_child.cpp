#include "bench_child.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <stdexcept>

namespace tarnvel::bench {
namespace {

std::string workFolder = ".";

void SyncWorkFileSystem() {
  const int fd = open(workFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0 || syncfs(fd) != 0) sync();
  if (fd >= 0) close(fd);
}

bool everyDropWorked = true;

void DropCaches() {
  SyncWorkFileSystem();
  std::ofstream drop("/proc/sys/vm/drop_caches");
  drop << "3\n";
  drop.close();
  if (!drop) everyDropWorked = false;
}

}  // namespace

void SetWorkFolder(const std::string& folder) {
  workFolder = folder;
}

bool PageCacheWasDropped() {
  return everyDropWorked;
}

Measure RunInChild(const std::function<int()>& body) {
  DropCaches();
  std::fflush(stdout);
  // The child writes one byte here when its body has returned; programs it
  // starts do not inherit the pipe, so its end (EOF) is the child's own.
  int bodyDone[2];
  if (pipe2(bodyDone, O_CLOEXEC) != 0) {
    std::perror("pipe2");
    std::exit(2);
  }
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    close(bodyDone[0]);
    const int code = body();
    std::fflush(stdout);
    const char done = 1;
    (void)!write(bodyDone[1], &done, 1);
    SyncWorkFileSystem();
    _exit(code);
  }
  close(bodyDone[1]);
  char done = 0;
  while (read(bodyDone[0], &done, 1) < 0 && errno == EINTR) {
  }
  const auto bodyEnd = std::chrono::steady_clock::now();
  close(bodyDone[0]);
  int status = 0;
  rusage usage{};
  while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
  }
  Measure m;
  m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  m.workSeconds = std::chrono::duration<double>(bodyEnd - start).count();
  m.peakKb = usage.ru_maxrss;
  m.status = status;
  return m;
}

void* MapSharedMemory(std::size_t size) {
  void* address = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  if (address == MAP_FAILED) throw std::runtime_error("cannot map shared memory");
  return address;
}

void UnmapSharedMemory(void* address, std::size_t size) {
  munmap(address, size);
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
