#pragma once
// The progress of a long copy as one short line for the status area.

#include <string>

#include "update/host.h"

namespace tarnvel {

/// "42% (12.3 of 29.0 MB)" in the active language, with its decimal sign; a
/// copy of unknown size (nothing in all) reads 100%.
std::string CopyProgressText(const CopyProgress& progress);

/// The report is the copy's last: everything is done.
bool CopyEnded(const CopyProgress& progress);

}  // namespace tarnvel
