#pragma once
// The payload: the new client program carried in the updater's own
// executable as resource EXEFILE/FILES, a self-extracting program that,
// started without arguments in its folder, writes TarnVel.exe there.

#include <string>

namespace tarnvel {

/// Writes resource EXEFILE/ResourceName ("files" when empty; names match
/// without regard to case) to FileName (expanded to a full path), replacing
/// an existing file. On failure throws std::runtime_error whose text is
/// uUpdate_ExtractFilesFromResource_1 with the resource name, a lone CR, and
/// what failed: "Resource <name> not found", "Cannot create file <path>" or
/// "Stream write error".
void ExtractFilesFromResource(const std::string& FileName, const std::string& ResourceName);

}  // namespace tarnvel
