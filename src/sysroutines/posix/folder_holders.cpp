#include "sysroutines/folder_holders.h"

#include <dirent.h>
#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>

namespace tarnvel::sys {
namespace {

std::string ReadLink(const std::string& path) {
  char buffer[PATH_MAX];
  const ssize_t n = readlink(path.c_str(), buffer, sizeof buffer);
  return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

bool Inside(const std::string& path, const std::string& folder) {
  if (path.empty() || path[0] != '/') return false;  // sockets, pipes, anonymous maps
  if (folder == "/") return true;
  return path.compare(0, folder.size(), folder) == 0 && (path.size() == folder.size() || path[folder.size()] == '/');
}

bool AnyLinkInside(const std::string& fdFolder, const std::string& folder) {
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(fdFolder.c_str()), closedir);
  if (!dir) return false;
  while (dirent* entry = readdir(dir.get())) {
    if (entry->d_name[0] == '.') continue;
    if (Inside(ReadLink(fdFolder + "/" + entry->d_name), folder)) return true;
  }
  return false;
}

bool AnyMapInside(const std::string& mapsFile, const std::string& folder) {
  std::ifstream maps(mapsFile);
  for (std::string line; std::getline(maps, line);) {
    const std::size_t slash = line.find('/');
    if (slash != std::string::npos && Inside(line.substr(slash), folder)) return true;
  }
  return false;
}

std::string ProgramName(const std::string& procEntry) {
  std::string path = ReadLink(procEntry + "/exe");
  if (path.empty()) {
    std::ifstream cmdline(procEntry + "/cmdline");
    std::getline(cmdline, path, '\0');
  }
  const std::size_t cut = path.find_last_of('/');
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace

std::vector<FolderHolder> FindFolderHolders(const std::string& folder) {
  std::vector<FolderHolder> holders;
  char resolved[PATH_MAX];
  if (realpath(folder.c_str(), resolved) == nullptr) return holders;
  const std::string target = resolved;

  std::unique_ptr<DIR, int (*)(DIR*)> proc(opendir("/proc"), closedir);
  if (!proc) return holders;
  while (dirent* entry = readdir(proc.get())) {
    char* end = nullptr;
    const unsigned long pid = std::strtoul(entry->d_name, &end, 10);
    if (end == entry->d_name || *end != '\0') continue;
    const std::string base = std::string("/proc/") + entry->d_name;
    const bool holds = Inside(ReadLink(base + "/cwd"), target) || Inside(ReadLink(base + "/exe"), target) ||
                       (target != "/" && Inside(ReadLink(base + "/root"), target)) ||
                       AnyLinkInside(base + "/fd", target) || AnyMapInside(base + "/maps", target);
    if (holds) holders.push_back({static_cast<std::uint32_t>(pid), ProgramName(base)});
  }
  return holders;
}

}  // namespace tarnvel::sys
