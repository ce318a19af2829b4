#pragma once
// A folder held open while the entries inside it are handled by name,
// relative to it. Nothing below the folder is reached by a path, so a folder
// that is swapped for a link after it was listed is never entered, and a
// link (symbolic link or junction) is only ever removed as itself.

#include <memory>
#include <optional>
#include <string>

#include "sysroutines/directory_reader.h"

namespace tarnvel::sys {

class DirectoryHandle {
 public:
  /// How opening a sub-folder went.
  enum class Opened {
    kFolder,      // a real folder, now held open
    kMissing,     // nothing has that name
    kNotAFolder,  // a link, junction, file, pipe, device: anything else
    kFailed,      // a folder that cannot be opened (no access, no handle
                  // left) or on which something is mounted (Linux)
  };

  DirectoryHandle();  // holds nothing
  ~DirectoryHandle();
  DirectoryHandle(DirectoryHandle&& other) noexcept;
  DirectoryHandle& operator=(DirectoryHandle&& other) noexcept;
  DirectoryHandle(const DirectoryHandle&) = delete;
  DirectoryHandle& operator=(const DirectoryHandle&) = delete;

  /// Opens the folder that holds the last name of Path and sets Name to that
  /// name: the entry Path names is then handled relative to its folder, and
  /// never followed if it is a link. Links in the folders above it are
  /// followed: they are the path the caller chose. Path is first made full
  /// with ExpandFullPath ("." and ".." resolved by name, as Windows does);
  /// trailing delimiters do not count. Holds nothing when that folder cannot
  /// be opened or Path has no last name (a root).
  static DirectoryHandle OpenParentOf(const std::string& path, std::string& name);

  bool IsOpen() const;

  /// Opens the sub-folder Name into Folder without following a link, and
  /// looks at what was opened, not at what the name held a moment before.
  /// Name is a single name, never a path.
  Opened OpenFolder(const std::string& name, DirectoryHandle& folder) const;

  /// The next entry, as DirectoryReader::Next gives it. A handle from
  /// OpenParentOf may be one that cannot be listed (Linux: a folder we may
  /// pass through but not read); its listing then fails at once.
  std::optional<DirectoryEntry> Next();

  /// As DirectoryReader::Failed: the entries handed out are not the whole
  /// folder.
  bool Failed() const;

  /// Deletes the entry Name when it is not a folder: a file, named pipe,
  /// socket or device, or a link or junction as itself (what it points at
  /// stays untouched). A read-only file loses that bit first where the
  /// system needs it (Windows: archive set, hidden and system kept). False
  /// when it cannot be deleted or is a folder.
  bool RemoveEntry(const std::string& name) const;

  /// Removes the sub-folder Name when it is an empty folder; false otherwise
  /// (not empty, in use, not a folder).
  bool RemoveFolder(const std::string& name) const;

 private:
  struct State;
  explicit DirectoryHandle(std::unique_ptr<State> state);
  std::unique_ptr<State> state_;
};

}  // namespace tarnvel::sys
