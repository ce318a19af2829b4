#include "sysroutines/replace_file.h"

#include "sysroutines/durable_rename.h"
#include "sysroutines/file_system.h"
#include "sysroutines/force_copy_file.h"

namespace tarnvel::sys {
namespace {

// The copy carries the source's attributes: a read-only one must lose that
// bit before Windows lets it be deleted.
void Discard(const std::string& temporary) {
  SetFileAttributesOf(temporary, kAttrArchive);
  DeleteFileAt(temporary);
}

}  // namespace

SysResult ReplaceFileSafely(const std::string& source, const std::string& target,
                            const FileCopyProgress& progress, const std::function<void()>& beforeRename) {
  const std::string temporary = TemporarySiblingName(target);
  SysResult written = CopyFileWithAttributes(source, temporary, progress);
  if (written) written = FlushFileToDisk(temporary);
  if (!written) {
    Discard(temporary);
    return written;
  }
  if (beforeRename) beforeRename();
  if (RenameReplacing(temporary, target)) return {};
  Discard(temporary);
  return ForceCopyFile(source, target, progress);
}

}  // namespace tarnvel::sys
