#include "sysroutines/executable.h"

#include <limits.h>
#include <unistd.h>

namespace tarnvel::sys {

std::string ExecutablePath() {
  std::string buffer(PATH_MAX, '\0');
  const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (n <= 0) return {};
  buffer.resize(static_cast<std::size_t>(n));
  return buffer;
}

}  // namespace tarnvel::sys
