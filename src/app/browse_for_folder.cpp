#include "app/browse_for_folder.h"

#include "sysroutines/file_system.h"

namespace tarnvel {

bool BrowseForFolder(const FolderPicker& pick, const std::string& Title, std::string& Folder) {
  const std::string start = !Folder.empty() && sys::DirectoryExists(Folder) ? Folder : std::string();
  std::optional<std::string> chosen = pick(Title, start);
  if (!chosen || chosen->empty()) return false;
  Folder = sys::ExpandFullPath(*chosen);
  return true;
}

}  // namespace tarnvel
