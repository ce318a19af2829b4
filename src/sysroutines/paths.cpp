#include "sysroutines/paths.h"

namespace tarnvel::sys {

std::string IncludeTrailingPathDelimiter(const std::string& path) {
  if (!path.empty() && path.back() == kPathDelimiter) return path;
  return path + kPathDelimiter;
}

}  // namespace tarnvel::sys
