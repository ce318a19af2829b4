#pragma once
// Replacing an installed file so that a crash or a failure at any instant
// leaves either the old file or the complete new one, never a truncated one.

#include <functional>
#include <string>

#include "sysroutines/file_copy.h"

namespace tarnvel::sys {

/// Puts a copy of Source in Target's place. The copy (content, attributes
/// and times) is written beside Target under TemporarySiblingName(Target),
/// flushed to the disk, and renamed over Target. Only where that rename is
/// refused (a file mounted on its own, say) is Source copied over Target in
/// place with ForceCopyFile, as before. A copy that cannot be written (a
/// full disk) leaves Target untouched and no temporary file behind. Never
/// throws; when Target was not replaced, the failure carries the system's
/// error code of the step that gave up last: the copy beside Target, or the
/// copy in place (a file in use, access denied). BeforeRename, when given,
/// is called with the complete copy on the disk, just before the rename: the
/// moment a crash leaves both files side by side.
SysResult ReplaceFileSafely(const std::string& source, const std::string& target,
                            const FileCopyProgress& progress = {},
                            const std::function<void()>& beforeRename = {});

}  // namespace tarnvel::sys
