#include "sysroutines/executable.h"

#include "sysroutines/paths.h"

namespace tarnvel::sys {

std::string ExecutableDir() {
  const std::string path = ExecutablePath();
  const std::size_t cut = path.find_last_of(kPathDelimiter);
  return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

}  // namespace tarnvel::sys
