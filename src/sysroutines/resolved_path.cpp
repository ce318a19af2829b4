#include "sysroutines/resolved_path.h"

#include <filesystem>
#include <system_error>

#include "sysroutines/file_system.h"
#include "sysroutines/paths.h"

namespace tarnvel::sys {

std::string ResolvedPath(const std::string& path) {
  if (path.empty()) return {};
  std::error_code error;
  const std::filesystem::path resolved =
      std::filesystem::weakly_canonical(std::filesystem::absolute(PathFromUtf8(ExpandFullPath(path)), error), error);
  if (error) return ExpandFullPath(path);
  return PathToUtf8(resolved.lexically_normal());
}

bool PathIsInside(const std::string& inner, const std::string& folder) {
  std::string a = ResolvedPath(inner);
  std::string b = ResolvedPath(folder);
  if (a.empty() || b.empty()) return false;
  while (a.size() > 1 && a.back() == kPathDelimiter) a.pop_back();
  while (b.size() > 1 && b.back() == kPathDelimiter) b.pop_back();
  // Windows names are the same in any case.
  if (kPathDelimiter == '\\') {
    for (char& c : a) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (char& c : b) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  if (a == b) return true;
  const std::string prefix = b.back() == kPathDelimiter ? b : b + kPathDelimiter;
  return a.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace tarnvel::sys
