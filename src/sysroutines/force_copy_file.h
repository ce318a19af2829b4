#pragma once

#include <string>

#include "sysroutines/file_copy.h"

namespace tarnvel::sys {

/// Copies Source over Target even when Target is read-only or hidden: those
/// two bits of an existing Target are cleared first, then the file is copied
/// with overwrite, taking over the source's attributes and times. Never
/// throws; a failure carries the copy's system error code.
/// Progress as for CopyFileWithAttributes.
SysResult ForceCopyFile(const std::string& source, const std::string& target,
                        const FileCopyProgress& progress = {});

}  // namespace tarnvel::sys
