#include "sysroutines/force_copy_file.h"

#include "sysroutines/file_copy.h"
#include "sysroutines/file_system.h"

namespace tarnvel::sys {

SysResult ForceCopyFile(const std::string& source, const std::string& target,
                        const FileCopyProgress& progress) {
  // The outcome of clearing the bits does not matter: a Target that does not
  // exist has none, and a Target that stays protected makes the copy fail.
  if (const auto attributes = GetFileAttributesOf(target)) {
    SetFileAttributesOf(target, *attributes & ~(kAttrReadOnly | kAttrHidden));
  }
  return CopyFileWithAttributes(source, target, progress);
}

}  // namespace tarnvel::sys
