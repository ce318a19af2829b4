#include "update/interrupted_run.h"

#include <cstdint>

#include "sysroutines/directory_reader.h"
#include "sysroutines/file_system.h"
#include "sysroutines/paths.h"

namespace tarnvel {

std::string FindClientBackup(const std::string& rootDir, const std::string& clientExeName) {
  const std::string root = sys::IncludeTrailingPathDelimiter(rootDir);
  std::string newest;
  std::int64_t newestTime = 0;
  sys::DirectoryReader reader(root);
  while (const auto entry = reader.Next()) {
    if (entry->name.rfind("Tmp$", 0) != 0 || (entry->attributes & sys::kAttrLink) != 0 ||
        (entry->attributes & sys::kAttrDirectory) == 0) {
      continue;
    }
    const std::string program = sys::IncludeTrailingPathDelimiter(root + entry->name) + "Old" +
                                sys::kPathDelimiter + "Program";
    if (!sys::FileExists(sys::IncludeTrailingPathDelimiter(program) + clientExeName)) continue;
    if (newest.empty() || entry->modified > newestTime) {
      newest = program;
      newestTime = entry->modified;
    }
  }
  return newest;
}

}  // namespace tarnvel
