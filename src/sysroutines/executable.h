#pragma once
#include <string>

namespace tarnvel::sys {

/// Full path of the running executable (UTF-8).
std::string ExecutablePath();

/// Folder of the running executable, without a trailing delimiter.
std::string ExecutableDir();

}  // namespace tarnvel::sys
