#include "update/backup_restore.h"

#include "i18n/ldm.h"
#include "sysroutines/directory_reader.h"
#include "sysroutines/file_system.h"
#include "sysroutines/force_copy_file.h"
#include "sysroutines/paths.h"
#include "sysroutines/text_helpers.h"

namespace tarnvel {
namespace {

constexpr std::string_view kDeletionMarker = "{dlt}_";

bool IsPlainFile(std::uint32_t attributes) {
  return (attributes & (sys::kAttrDirectory | sys::kAttrHidden | sys::kAttrSystem | sys::kAttrLink)) == 0;
}

}  // namespace

std::string DecodeBackupName(const std::string& entryName) {
  const std::string withDelimiters = sys::ReplaceAll(entryName, "{5C}", std::string(1, sys::kPathDelimiter));
  return sys::ReplaceAll(withDelimiters, "{3A}", ":");
}

std::vector<std::string> RestoreFilesFromBackup(const std::string& Folder) {
  std::vector<std::string> failures;
  // The names are collected first: restoring must not change what is listed.
  std::vector<std::string> names;
  {
    sys::DirectoryReader reader(Folder);
    while (const auto entry = reader.Next()) {
      if (IsPlainFile(entry->attributes)) names.push_back(entry->name);
    }
  }
  for (const std::string& name : names) {
    const std::string target = DecodeBackupName(name);
    if (target.compare(0, kDeletionMarker.size(), kDeletionMarker) == 0) {
      sys::DeleteFileAt(target.substr(kDeletionMarker.size()));
    } else if (!sys::ForceCopyFile(sys::IncludeTrailingPathDelimiter(Folder) + name, target)) {
      failures.push_back(i18n::GetMessageText("uUpdate_RestoreFilesFromBackup_1", target));
    }
  }
  return failures;
}

}  // namespace tarnvel
