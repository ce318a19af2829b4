#include "update/payload.h"

#include <stdexcept>

#include "i18n/ldm.h"
#include "sysroutines/file_system.h"
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

}  // namespace tarnvel
