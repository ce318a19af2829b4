#include "support/test_environment.h"

#include <stdlib.h>
#include <unistd.h>

namespace tarnvel::testing {

std::optional<std::string> GetTestEnvironmentVariable(const std::string& name) {
  const char* value = getenv(name.c_str());
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

void SetTestEnvironmentVariable(const std::string& name, const std::string& value) {
  setenv(name.c_str(), value.c_str(), 1);
}

unsigned long TestProcessId() {
  return static_cast<unsigned long>(getpid());
}

}  // namespace tarnvel::testing
