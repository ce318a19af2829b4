#include "update/payload.h"

#include <stdexcept>

#include "i18n/ldm.h"
#include "sysroutines/file_system.h"
#include "sysroutines/held_program.h"
#include "sysroutines/resources.h"
#include "sysroutines/write_whole_file.h"

namespace tarnvel {
namespace {

// The step's own failure, before the routine's context is put in front.
std::string WriteResource(const std::string& fileName, const std::string& resourceName) {
  const auto bytes = sys::FindEmbeddedResource("EXEFILE", resourceName);
  if (!bytes) return "Resource " + resourceName + " not found";
  switch (sys::WriteWholeFile(fileName, *bytes, /*executable=*/true)) {
    case sys::WriteFileResult::Written: return {};
    case sys::WriteFileResult::CannotCreate: return "Cannot create file " + fileName;
    case sys::WriteFileResult::WriteFailed: break;
  }
  return "Stream write error";
}

}  // namespace

void ExtractFilesFromResource(const std::string& FileName, const std::string& ResourceName) {
  const std::string fileName = sys::ExpandFullPath(FileName);
  const std::string resourceName = ResourceName.empty() ? "files" : ResourceName;
  const std::string failure = WriteResource(fileName, resourceName);
  if (failure.empty()) return;
  throw std::runtime_error(i18n::GetMessageText("uUpdate_ExtractFilesFromResource_1", resourceName) + "\r" +
                           failure);
}

std::optional<sys::Sha256Digest> EmbeddedPayloadDigest() {
  const auto hex = sys::FindEmbeddedResource("SHA256", "FILES");
  if (!hex) return std::nullopt;
  return sys::Sha256FromHex(*hex);
}

std::unique_ptr<sys::HeldProgram> HoldVerifiedPayload(const std::string& FileName,
                                                      const std::optional<sys::Sha256Digest>& Expected) {
  const std::string fileName = sys::ExpandFullPath(FileName);
  std::unique_ptr<sys::HeldProgram> held = sys::HeldProgram::Hold(fileName);
  if (held && Expected) {
    sys::Sha256 hash;
    if (held->ReadAll([&hash](std::string_view piece) { hash.Update(piece); }) && hash.Final() == *Expected) {
      return held;
    }
  }
  throw std::runtime_error(i18n::GetMessageText("uUpdate_HoldVerifiedPayload_1", fileName));
}

}  // namespace tarnvel
