#pragma once
// Copying single files at the speed of the disk with bounded memory.

#include <cstdint>
#include <functional>
#include <string>

#include "sysroutines/system_error.h"

namespace tarnvel::sys {

/// Copies Source onto Target, replacing an existing Target; the copy takes
/// over the source's attributes (Linux: permission bits, and the owner and
/// group where the process may set them) and times.
/// Windows: CopyFileW. Linux: copy_file_range (the kernel's own copy, reflink
/// where the file system offers it), with a read/write loop over a fixed
/// buffer where the kernel cannot. A failed copy leaves no partial Target
/// behind. Source and Target naming the same file is a failure. What stands
/// in Target's place is never written through: a symbolic link there (and on
/// Linux a named pipe, socket, device or a file with further hard links) is
/// replaced by the copy, not followed.
/// Progress, when given, is told the bytes of this file copied so far, as
/// the copy goes (every few megabytes; Windows: as CopyFileExW reports).
/// A failure carries the system's error code of the step that failed (a
/// source that is a folder: IsAFolderError(); 0 where the copy refuses by
/// itself: a source that is no regular file, Source and Target one file).
using FileCopyProgress = std::function<void(std::uint64_t bytesCopied)>;
SysResult CopyFileWithAttributes(const std::string& source, const std::string& target,
                                 const FileCopyProgress& progress = {});

/// Makes Target a link to where the link Source points (Windows: a symbolic
/// link or junction reproduced by CreateDirectoryExW / CopyFileExW with
/// COPY_FILE_COPY_SYMLINK). An existing file or link at Target is replaced.
bool CopyLink(const std::string& source, const std::string& target);

}  // namespace tarnvel::sys
