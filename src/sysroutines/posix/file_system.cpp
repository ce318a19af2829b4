#include "sysroutines/file_system.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>

namespace tarnvel::sys {

std::string ExpandFullPath(const std::string& path) {
  // As GetFullPathNameW: an empty path names nothing, not the current folder.
  if (path.empty()) return {};
  const bool trailing = !path.empty() && path.back() == '/';
  std::error_code error;
  std::filesystem::path full = std::filesystem::absolute(path, error);
  if (error) full = std::filesystem::current_path(error) / path;
  std::string text = full.lexically_normal().native();
  // "." and "dir/.." normalise to a trailing "/"; only keep one that was typed.
  if (!trailing && text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

bool IsFileSystemRoot(const std::string& path) {
  if (path.empty()) return false;
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved) == nullptr) return false;
  const std::string folder = resolved;
  if (folder == "/") return true;
  constexpr unsigned kWanted = STATX_TYPE | STATX_INO | STATX_MNT_ID;
  struct statx self {
  }, parent{};
  if (statx(AT_FDCWD, folder.c_str(), 0, kWanted, &self) != 0 || !S_ISDIR(self.stx_mode)) return false;
  if (statx(AT_FDCWD, (folder + "/..").c_str(), 0, kWanted, &parent) != 0) return false;
  if ((self.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0) {
    return (self.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
  }
  // Older kernels: a mount point lies on another device than its parent, or,
  // for a folder bound onto a folder of the same file system, on another
  // mount; the root of a chroot is its own parent.
  const bool otherDevice =
      self.stx_dev_major != parent.stx_dev_major || self.stx_dev_minor != parent.stx_dev_minor;
  const bool otherMount =
      (self.stx_mask & parent.stx_mask & STATX_MNT_ID) != 0 && self.stx_mnt_id != parent.stx_mnt_id;
  return otherDevice || otherMount || (!otherDevice && self.stx_ino == parent.stx_ino);
}

std::optional<std::uint32_t> GetFileAttributesOf(const std::string& path) {
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0) return std::nullopt;
  if (S_ISLNK(st.st_mode)) return kAttrLink;
  std::uint32_t attributes = S_ISDIR(st.st_mode) ? kAttrDirectory : kAttrArchive;
  if ((st.st_mode & S_IWUSR) == 0) attributes |= kAttrReadOnly;
  return attributes;
}

bool SetFileAttributesOf(const std::string& path, std::uint32_t attributes) {
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0) return false;
  if (S_ISLNK(st.st_mode)) return true;  // a link has no permission bits of its own
  mode_t mode = st.st_mode & 07777;
  mode = (attributes & kAttrReadOnly) ? (mode & ~mode_t(S_IWUSR | S_IWGRP | S_IWOTH)) : (mode | S_IWUSR);
  if (mode == (st.st_mode & 07777)) return true;
  return chmod(path.c_str(), mode) == 0;
}

bool DirectoryExists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::optional<std::uint64_t> FileSizeOf(const std::string& path) {
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return static_cast<std::uint64_t>(st.st_size);
}

bool DeleteFileAt(const std::string& path) {
  struct stat st {};
  if (lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return false;
  return unlink(path.c_str()) == 0;
}

bool RemoveEmptyDirectory(const std::string& path) {
  return rmdir(path.c_str()) == 0;
}

bool RemoveLink(const std::string& path) {
  return unlink(path.c_str()) == 0;
}

bool CreateOneDirectory(const std::string& path) {
  return mkdir(path.c_str(), 0777) == 0;
}

bool CreateDirectoryTree(const std::string& path) {
  if (path.empty()) return false;
  if (DirectoryExists(path)) return true;
  std::string text = path;
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  const std::size_t cut = text.find_last_of('/');
  if (cut != std::string::npos && cut > 0 && !CreateDirectoryTree(text.substr(0, cut))) return false;
  return mkdir(text.c_str(), 0777) == 0 || (errno == EEXIST && DirectoryExists(text));
}

bool RenameEntry(const std::string& from, const std::string& to) {
  return renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0;
}

}  // namespace tarnvel::sys
