#pragma once

#include <string>

#include "sysroutines/system_error.h"

namespace tarnvel::sys {

/// Reads the whole file Path into Content (left as it was on failure). A
/// folder is refused with IsAFolderError(), whatever the system would say of
/// reading one (Linux opens it and fails on read; Windows refuses access);
/// every other failure carries the system's error code.
SysResult ReadWholeFile(const std::string& path, std::string& content);

}  // namespace tarnvel::sys
