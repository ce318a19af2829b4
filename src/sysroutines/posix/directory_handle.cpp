#include "sysroutines/directory_handle.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "sysroutines/file_system.h"
#include "sysroutines/posix/directory_entry.h"

namespace tarnvel::sys {

namespace {

// Where a folder lies: its file system, and the mount it is reached through
// (a folder bound onto another of the same file system has a mount of its
// own, yet the same device).
struct Place {
  dev_t device = 0;
  std::uint64_t mount = 0;
  bool knowsMount = false;

  bool operator==(const Place& other) const {
    return device == other.device && (!knowsMount || !other.knowsMount || mount == other.mount);
  }
};

bool PlaceOf(int fd, Place& place) {
  struct statx st {};
  if (statx(fd, "", AT_EMPTY_PATH | AT_SYMLINK_NOFOLLOW, STATX_MNT_ID, &st) != 0) return false;
  place.device = makedev(st.stx_dev_major, st.stx_dev_minor);
  place.knowsMount = (st.stx_mask & STATX_MNT_ID) != 0;
  place.mount = st.stx_mnt_id;
  return true;
}

// A single name inside a folder: anything else would reach past it.
bool IsPlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

// Splits a full path into its folder and last name, trailing delimiters dropped.
void SplitLastName(const std::string& path, std::string& folder, std::string& name) {
  std::string text = path;
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  const std::size_t cut = text.find_last_of('/');
  folder = cut == 0 ? "/" : text.substr(0, cut);
  name = cut == std::string::npos ? std::string() : text.substr(cut + 1);
}

}  // namespace

// One descriptor per handle: the listing, once started, owns it.
struct DirectoryHandle::State {
  int fd = -1;
  DIR* dir = nullptr;
  Place place;
  bool failed = false;
  ~State() {
    if (dir != nullptr) {
      closedir(dir);
    } else if (fd >= 0) {
      close(fd);
    }
  }
};

DirectoryHandle::DirectoryHandle() : state_(std::make_unique<State>()) {}
DirectoryHandle::DirectoryHandle(std::unique_ptr<State> state) : state_(std::move(state)) {}
DirectoryHandle::~DirectoryHandle() = default;
DirectoryHandle::DirectoryHandle(DirectoryHandle&& other) noexcept = default;
DirectoryHandle& DirectoryHandle::operator=(DirectoryHandle&& other) noexcept = default;

bool DirectoryHandle::IsOpen() const {
  return state_ != nullptr && state_->fd >= 0;
}

DirectoryHandle DirectoryHandle::OpenParentOf(const std::string& path, std::string& name) {
  std::string folder;
  SplitLastName(ExpandFullPath(path), folder, name);
  if (!IsPlainName(name)) return DirectoryHandle();
  auto state = std::make_unique<State>();
  state->fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  // A folder we may pass through but not read still lets us reach its entries.
  if (state->fd < 0 && errno == EACCES) state->fd = open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (state->fd < 0 || !PlaceOf(state->fd, state->place)) return DirectoryHandle();
  return DirectoryHandle(std::move(state));
}

DirectoryHandle::Opened DirectoryHandle::OpenFolder(const std::string& name, DirectoryHandle& folder) const {
  folder = DirectoryHandle();
  if (!IsOpen() || !IsPlainName(name)) return Opened::kFailed;
  // O_NOFOLLOW refuses a link, O_DIRECTORY anything else but a folder, both
  // before anything is opened (a named pipe would block an open).
  const int fd = openat(state_->fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return Opened::kMissing;
    if (errno == ELOOP || errno == ENOTDIR) return Opened::kNotAFolder;
    return Opened::kFailed;
  }
  auto state = std::make_unique<State>();
  state->fd = fd;
  // A file system, or a folder of one, mounted inside the tree is not ours
  // to empty.
  if (!PlaceOf(fd, state->place) || !(state->place == state_->place)) return Opened::kFailed;
  folder = DirectoryHandle(std::move(state));
  return Opened::kFolder;
}

std::optional<DirectoryEntry> DirectoryHandle::Next() {
  if (!IsOpen() || state_->failed) return std::nullopt;
  if (state_->dir == nullptr) {
    state_->dir = fdopendir(state_->fd);
    if (state_->dir == nullptr) {
      state_->failed = true;
      return std::nullopt;
    }
  }
  for (;;) {
    // readdir tells its end from an error only through errno.
    errno = 0;
    const dirent* entry = readdir(state_->dir);
    if (entry == nullptr) {
      state_->failed = errno != 0;
      return std::nullopt;
    }
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    return ReadDirectoryEntry(state_->fd, *entry);
  }
}

bool DirectoryHandle::Failed() const {
  return !IsOpen() || state_->failed;
}

bool DirectoryHandle::RemoveEntry(const std::string& name) const {
  // Without AT_REMOVEDIR a folder is refused; a link goes as itself. The
  // file's own permission bits play no part in deleting it.
  return IsOpen() && IsPlainName(name) && unlinkat(state_->fd, name.c_str(), 0) == 0;
}

bool DirectoryHandle::RemoveFolder(const std::string& name) const {
  return IsOpen() && IsPlainName(name) && unlinkat(state_->fd, name.c_str(), AT_REMOVEDIR) == 0;
}

}  // namespace tarnvel::sys
