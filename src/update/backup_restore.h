#pragma once
// Single files saved in the backup folder Old\Other under encoded names, and
// putting them back on rollback.
//
// An entry's name is the full path of its target with every path delimiter
// written "{5C}" and every ":" written "{3A}" (upper-case, nothing else
// escaped); the prefix "{dlt}_" makes it a request to delete the target.

#include <string>
#include <vector>

namespace tarnvel {

/// The target path of an entry name: "{5C}" becomes the platform delimiter,
/// then "{3A}" becomes ":" (exact, case-sensitive).
std::string DecodeBackupName(const std::string& entryName);

/// Puts back every plain file of Folder (hidden and system files, folders
/// and links are left alone) in the order the file system lists them: a
/// deletion request deletes its target (silently, whatever happens), any
/// other entry is copied over its target with ForceCopyFile. Returns one
/// uUpdate_RestoreFilesFromBackup_1 text per entry that could not be copied
/// back; empty when everything was restored or Folder is missing or empty.
/// The backup folder itself is not changed.
std::vector<std::string> RestoreFilesFromBackup(const std::string& Folder);

}  // namespace tarnvel
