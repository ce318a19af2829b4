#include "sysroutines/posix/directory_entry.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "sysroutines/file_system.h"

namespace tarnvel::sys {

DirectoryEntry ReadDirectoryEntry(int dirFd, const dirent& entry) {
  DirectoryEntry result;
  result.name = entry.d_name;
  struct stat st {};
  if (fstatat(dirFd, entry.d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
    result.attributes = entry.d_type == DT_DIR   ? kAttrDirectory
                        : entry.d_type == DT_LNK ? kAttrLink
                                                 : kAttrArchive;
    return result;
  }
  if (S_ISLNK(st.st_mode)) {
    result.attributes = kAttrLink;
  } else {
    result.attributes = S_ISDIR(st.st_mode) ? kAttrDirectory : kAttrArchive;
    if (S_ISREG(st.st_mode)) result.size = static_cast<std::uint64_t>(st.st_size);
    if ((st.st_mode & S_IWUSR) == 0) result.attributes |= kAttrReadOnly;
  }
  result.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return result;
}

}  // namespace tarnvel::sys
