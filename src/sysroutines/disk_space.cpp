#include "sysroutines/disk_space.h"

#include <stdexcept>

namespace tarnvel::sys {

std::int32_t GetFileSizeShifted(const std::string& fileName, std::uint8_t shift) {
  const std::optional<std::uint64_t> size = ExclusiveFileSize(fileName);
  if (!size) return -1;
  const std::uint64_t shifted = shift >= 64 ? 0 : (*size >> shift);
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(shifted & 0xFFFFFFFFu));
}

void CheckFreeSize(const std::string& fileName, const std::string& path, std::uint8_t factor,
                   const std::function<void()>& processMessages) {
  if (processMessages) processMessages();
  const std::int32_t size = GetFileSizeShifted(fileName, 20);
  // An unreadable size must not let the check pass with nothing required.
  if (size < 0) throw std::runtime_error("");
  const std::int64_t required = static_cast<std::int64_t>(size) * factor;
  const std::optional<std::uint64_t> freeBytes = TotalFreeBytes(path);
  if (!freeBytes) throw std::runtime_error("Unable to read the free space of the disk \"" + path + "\"!");
  const std::int64_t freeMegabytes = static_cast<std::int64_t>(*freeBytes >> 20);
  if (freeMegabytes < required) {
    throw std::runtime_error("To write the file to disk \"" + path + "\" is required at least " +
                             std::to_string(required) + " MB of free space!");
  }
}

}  // namespace tarnvel::sys
