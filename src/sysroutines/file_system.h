#pragma once
// Files and folders: full paths, attributes, creation, deletion and renaming.
// Every call reports through its result; the engine turns a failure into the
// operator's text.

#include <cstdint>
#include <optional>
#include <string>

namespace tarnvel::sys {

// Attribute bits with their Windows values. On Linux read-only means "no
// owner write bit"; hidden and system do not exist there and are never set.
inline constexpr std::uint32_t kAttrReadOnly = 0x01;
inline constexpr std::uint32_t kAttrHidden = 0x02;
inline constexpr std::uint32_t kAttrSystem = 0x04;
inline constexpr std::uint32_t kAttrDirectory = 0x10;
inline constexpr std::uint32_t kAttrArchive = 0x20;
/// The entry is a symbolic link or a junction: it is handled as itself and
/// never followed into the folder it points at.
inline constexpr std::uint32_t kAttrLink = 0x400;

/// Path made absolute against the current folder, "." and ".." resolved
/// (Windows GetFullPathNameW). A trailing delimiter stays.
std::string ExpandFullPath(const std::string& path);

/// Path (links resolved) is the root of a file system: Windows the volume
/// root GetVolumePathNameW gives for it ("C:\", "\\server\share\" or a
/// mounted folder); Linux "/" or a mount point, a folder bound onto itself
/// or onto another of the same file system included. False for a path that
/// does not exist or cannot be resolved.
bool IsFileSystemRoot(const std::string& path);

/// Attributes of the entry itself (a final link is not followed); nullopt
/// when the entry cannot be read.
std::optional<std::uint32_t> GetFileAttributesOf(const std::string& path);

/// Writes the read-only, hidden, system and archive bits (Linux: read-only only).
bool SetFileAttributesOf(const std::string& path, std::uint32_t attributes);

/// An existing folder (a link to a folder counts).
bool DirectoryExists(const std::string& path);

/// An existing regular file (links followed); Linux: not a folder, named
/// pipe, socket or device.
bool FileExists(const std::string& path);

/// Size of the entry itself when it is a regular file (a final link is not
/// followed); nullopt otherwise. Opens nothing, so a file held open by
/// another program has a size too.
std::optional<std::uint64_t> FileSizeOf(const std::string& path);

/// Deletes a file (not a folder).
bool DeleteFileAt(const std::string& path);

/// Removes an empty folder.
bool RemoveEmptyDirectory(const std::string& path);

/// Removes a link or junction itself, leaving what it points at untouched.
bool RemoveLink(const std::string& path);

/// Creates exactly one folder; fails when it exists or its parent is missing.
bool CreateOneDirectory(const std::string& path);

/// Creates a folder with every missing parent, top level first; a folder
/// that already exists counts as created.
bool CreateDirectoryTree(const std::string& path);

/// Renames a file or folder; fails when To already exists (Linux rename
/// would silently replace an empty folder, Windows MoveFileW refuses).
bool RenameEntry(const std::string& from, const std::string& to);

}  // namespace tarnvel::sys
