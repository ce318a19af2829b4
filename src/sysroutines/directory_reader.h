#pragma once
// Reads one folder entry by entry, so that a tree of any size is walked
// without holding it in memory.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace tarnvel::sys {

struct DirectoryEntry {
  std::string name;
  std::uint32_t attributes = 0;  // bits of file_system.h
  std::uint64_t size = 0;        // bytes of a file; 0 for folders and links
  /// Last write time of the entry itself, in the platform's own units
  /// (Linux nanoseconds since 1970, Windows FILETIME ticks): only for
  /// comparing two entries of the same system. 0 when unknown.
  std::int64_t modified = 0;
};

class DirectoryReader {
 public:
  /// Opens Folder for reading (Windows FindFirstFileW on Folder\*, Linux opendir).
  explicit DirectoryReader(const std::string& folder);
  ~DirectoryReader();
  DirectoryReader(const DirectoryReader&) = delete;
  DirectoryReader& operator=(const DirectoryReader&) = delete;

  /// False when the folder could not be opened (missing, not a folder, no access).
  bool IsOpen() const;

  /// The next entry in the order the file system gives, "." and ".." left
  /// out; nullopt at the end, and also when the listing stops on an error.
  std::optional<DirectoryEntry> Next();

  /// True when the folder could not be opened (missing, not a folder, no
  /// access) or its listing stopped on an error: the entries handed out are
  /// then not the whole folder. An empty folder is not a failure, so callers
  /// that must not take "unreadable" for "empty" ask this after the last Next.
  bool Failed() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace tarnvel::sys
