#include "sysroutines/directory_reader.h"

#include <dirent.h>

#include <cerrno>
#include <cstring>

#include "sysroutines/posix/directory_entry.h"

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
    return ReadDirectoryEntry(dirfd(state_->dir), *entry);
  }
}

}  // namespace tarnvel::sys
