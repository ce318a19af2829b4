#pragma once
// The payload: the new client program carried in the updater's own
// executable as resource EXEFILE/FILES, a self-extracting program that,
// started without arguments in its folder, writes TarnVel.exe there.

#include <memory>
#include <optional>
#include <string>

#include "sysroutines/held_program.h"
#include "sysroutines/sha256.h"

namespace tarnvel {

/// Writes resource EXEFILE/ResourceName ("files" when empty; names match
/// without regard to case) to FileName (expanded to a full path), replacing
/// an existing file. On failure throws std::runtime_error whose text is
/// uUpdate_ExtractFilesFromResource_1 with the resource name, a lone CR, and
/// what failed: "Resource <name> not found", "Cannot create file <path>" or
/// "Stream write error".
void ExtractFilesFromResource(const std::string& FileName, const std::string& ResourceName);

/// The SHA-256 the build recorded of the payload it embedded (resource
/// SHA256/FILES, 64 hexadecimal digits); nullopt when the executable carries
/// none or something else under that name.
std::optional<sys::Sha256Digest> EmbeddedPayloadDigest();

/// Holds the unpacked payload at FileName so that nobody can change it until
/// it has been started (sys::HeldProgram) and checks, through the held
/// handle, that its SHA-256 is Expected. Throws std::runtime_error with
/// uUpdate_HoldVerifiedPayload_1 naming the full path when the file cannot be
/// held that way, cannot be read, or has another digest; also when Expected
/// is nullopt (a build that recorded no digest vouches for nothing).
std::unique_ptr<sys::HeldProgram> HoldVerifiedPayload(const std::string& FileName,
                                                      const std::optional<sys::Sha256Digest>& Expected);

}  // namespace tarnvel
