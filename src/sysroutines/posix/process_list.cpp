#include "sysroutines/process_list.h"

#include <dirent.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <fstream>
#include <iterator>
#include <memory>

namespace tarnvel::sys {
namespace {

std::string ExeLink(const std::string& procDir) {
  std::string buffer(PATH_MAX, '\0');
  const ssize_t n = readlink((procDir + "/exe").c_str(), buffer.data(), buffer.size());
  if (n <= 0) return {};
  buffer.resize(static_cast<std::size_t>(n));
  // A program whose file was replaced while it runs (a package upgrade).
  constexpr std::string_view kDeleted = " (deleted)";
  if (buffer.size() > kDeleted.size() &&
      buffer.compare(buffer.size() - kDeleted.size(), kDeleted.size(), kDeleted) == 0)
    buffer.resize(buffer.size() - kDeleted.size());
  return buffer;
}

// argv[0], which everyone may read, also for other users' processes.
std::string FirstArgument(const std::string& procDir) {
  std::ifstream in(procDir + "/cmdline", std::ios::binary);
  std::string argv0;
  std::getline(in, argv0, '\0');
  return argv0;
}

}  // namespace

std::vector<ProcessEntry> TakeProcessSnapshot() {
  std::vector<ProcessEntry> entries;
  const std::unique_ptr<DIR, int (*)(DIR*)> proc(opendir("/proc"), closedir);
  if (!proc) return entries;
  while (const dirent* item = readdir(proc.get())) {
    char* end = nullptr;
    const unsigned long pid = std::strtoul(item->d_name, &end, 10);
    if (*item->d_name == '\0' || *end != '\0' || pid == 0 || pid > UINT32_MAX) continue;
    const std::string dir = std::string("/proc/") + item->d_name;
    std::string name = ExeLink(dir);
    if (name.empty()) name = FirstArgument(dir);
    if (!name.empty()) entries.push_back({static_cast<std::uint32_t>(pid), name});
  }
  return entries;
}

bool TerminateProcessById(std::uint32_t processId) {
  if (processId == 0 || processId > static_cast<std::uint32_t>(INT_MAX)) return false;
  return kill(static_cast<pid_t>(processId), SIGKILL) == 0 || errno == ESRCH;
}

}  // namespace tarnvel::sys
