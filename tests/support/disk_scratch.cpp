#include "support/disk_scratch.h"

#include <filesystem>

#include "sysroutines/file_system.h"
#include "sysroutines/paths.h"

namespace tarnvel::testing {

DiskScratch::~DiskScratch() {
  std::error_code error;
  for (auto it = std::filesystem::recursive_directory_iterator(path(), error);
       !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
    const std::string entry = sys::PathToUtf8(it->path());
    if (const auto attributes = sys::GetFileAttributesOf(entry)) {
      if ((*attributes & sys::kAttrReadOnly) != 0) sys::SetFileAttributesOf(entry, *attributes & ~sys::kAttrReadOnly);
    }
  }
}

}  // namespace tarnvel::testing
