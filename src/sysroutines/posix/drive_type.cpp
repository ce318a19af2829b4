#include "sysroutines/drive_type.h"

#include <limits.h>
#include <stdlib.h>

#include <fstream>
#include <iterator>

namespace tarnvel::sys {
namespace {

std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// /sys/dev/block/M:m is the disk or one of its partitions; the flag sits on the disk.
bool IsRemovableDevice(const std::string& device) {
  const std::string base = "/sys/dev/block/" + device;
  for (const std::string& flag : {base + "/removable", base + "/../removable"}) {
    const std::string text = ReadText(flag);
    if (!text.empty()) return text[0] == '1';
  }
  return false;
}

}  // namespace

unsigned GetDriveTypeOfPath(const std::string& path) {
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved) == nullptr) return kDriveNoRootDir;
  return DriveTypeFromMountInfo(ReadText("/proc/self/mountinfo"), resolved, IsRemovableDevice);
}

}  // namespace tarnvel::sys

namespace tarnvel::sys {

std::string DriveRootOf(const std::string& path) {
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved) == nullptr) return {};
  const std::optional<MountEntry> mount = MountHolding(ReadText("/proc/self/mountinfo"), resolved);
  if (!mount) return {};
  return mount->mountPoint == "/" ? "/" : mount->mountPoint + "/";
}

}  // namespace tarnvel::sys
