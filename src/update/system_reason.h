#pragma once
// Why the system refused, in the operator's words: the engine's wording of
// the error codes the OS layer hands back.

#include <string>

#include "sysroutines/system_error.h"

namespace tarnvel {

/// A catalogue text for the common causes (a file in use, access denied, a
/// full disk, a read-only volume, a path too long, nothing there, a folder
/// in a file's place), else the system's own words with the code; empty for
/// a success or a failure the system gave no code for.
std::string SystemReasonText(sys::SysResult result);

/// Text followed by a line break and SystemReasonText(Result), when there is one.
std::string WithSystemReason(const std::string& text, sys::SysResult result);

}  // namespace tarnvel
