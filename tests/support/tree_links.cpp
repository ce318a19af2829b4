#include "support/tree_links.h"

#include "support/temp_dir.h"
#include "sysroutines/file_system.h"
#include "sysroutines/paths.h"

namespace tarnvel::testing {

namespace fs = std::filesystem;

bool MakeSymbolicLink(const fs::path& target, const fs::path& link, bool folder) {
  std::error_code error;
  if (folder) {
    fs::create_directory_symlink(target, link, error);
  } else {
    fs::create_symlink(target, link, error);
  }
  if (error) return false;
  const auto attributes = sys::GetFileAttributesOf(sys::PathToUtf8(link));
  return attributes && (*attributes & sys::kAttrLink) != 0;
}

std::map<std::string, std::string> TreeSnapshot(const fs::path& root) {
  std::map<std::string, std::string> snapshot;
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(root, error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    const std::string name = sys::PathToUtf8(fs::relative(it->path(), root));
    const fs::file_status status = it->symlink_status();
    if (fs::is_symlink(status)) {
      snapshot[name] = "link:" + sys::PathToUtf8(fs::read_symlink(it->path()));
    } else if (fs::is_directory(status)) {
      snapshot[name] = "folder";
    } else if (fs::is_regular_file(status)) {
      snapshot[name] = "file:" + ReadFile(it->path());
    } else {
      snapshot[name] = "other";
    }
  }
  if (error) snapshot["(unreadable)"] = error.message();
  return snapshot;
}

}  // namespace tarnvel::testing
