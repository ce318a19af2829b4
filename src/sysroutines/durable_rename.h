#pragma once
// The pieces of a replacement that is never seen half done: a file written
// beside its target under a name of its own, flushed to the disk, and renamed
// over the target in one step.

#include <string>

#include "sysroutines/system_error.h"

namespace tarnvel::sys {

/// Target followed by ".tmp-" and this process's id: a name beside Target,
/// on the same volume, that no other run uses at the same time.
std::string TemporarySiblingName(const std::string& target);

/// Writes the file's content and metadata through to the disk (Linux fsync,
/// Windows FlushFileBuffers). A failure carries the system's error code of
/// the open or the flush (a full disk can first show here).
SysResult FlushFileToDisk(const std::string& path);

/// Renames the file From over the file To in one step: To is at every
/// instant either the old file or From (Linux rename(2), then the folder is
/// flushed; Windows MoveFileExW with MOVEFILE_REPLACE_EXISTING and
/// MOVEFILE_WRITE_THROUGH, a read-only To being made writable first and
/// protected again when the rename is refused). Fails when To is a folder,
/// when the two lie on different volumes, and on Windows while another
/// program holds To open without sharing its deletion.
bool RenameReplacing(const std::string& from, const std::string& to);

/// Appends Bytes to the file Path (created when missing, never through a
/// link) and writes them through to the disk before returning: a record
/// that says what is about to change is on the disk before the change.
bool AppendDurably(const std::string& path, const std::string& bytes);

}  // namespace tarnvel::sys
