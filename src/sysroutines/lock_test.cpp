#include "sysroutines/lock_test.h"

#include "sysroutines/paths.h"

namespace tarnvel::sys {

std::string LockTestName(const std::string& rootDir) {
  std::string name = rootDir;
  if (!name.empty() && name.back() == kPathDelimiter) name.pop_back();
  return name + "_";
}

}  // namespace tarnvel::sys
