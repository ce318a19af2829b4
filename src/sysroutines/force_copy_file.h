#pragma once

#include <string>

namespace tarnvel::sys {

/// Copies Source over Target even when Target is read-only or hidden: those
/// two bits of an existing Target are cleared first, then the file is copied
/// with overwrite, taking over the source's attributes and times. Never
/// throws; false when the copy failed.
bool ForceCopyFile(const std::string& source, const std::string& target);

}  // namespace tarnvel::sys
