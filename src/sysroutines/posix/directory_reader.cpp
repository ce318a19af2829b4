#include "sysroutines/directory_reader.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "sysroutines/file_system.h"

namespace tarnvel::sys {

struct DirectoryReader::State {
  DIR* dir = nullptr;
  bool failed = false;
};

DirectoryReader::DirectoryReader(const std::string& folder) : state_(std::make_unique<State>()) {
  state_->dir = opendir(folder.c_str());
  state_->failed = state_->dir == nullptr;
}

DirectoryReader::~DirectoryReader() {
  if (state_->dir != nullptr) closedir(state_->dir);
}

bool DirectoryReader::IsOpen() const {
  return state_->dir != nullptr;
}

bool DirectoryReader::Failed() const {
  return state_->failed;
}

std::optional<DirectoryEntry> DirectoryReader::Next() {
  if (state_->dir == nullptr || state_->failed) return std::nullopt;
  for (;;) {
    // readdir tells its end from an error only through errno.
    errno = 0;
    const dirent* entry = readdir(state_->dir);
    if (entry == nullptr) {
      state_->failed = errno != 0;
      return std::nullopt;
    }
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    DirectoryEntry result;
    result.name = entry->d_name;
    struct stat st {};
    if (fstatat(dirfd(state_->dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
      // Gone since the listing was read, or unreadable: report what the listing knows.
      result.attributes = entry->d_type == DT_DIR   ? kAttrDirectory
                          : entry->d_type == DT_LNK ? kAttrLink
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
}

}  // namespace tarnvel::sys
