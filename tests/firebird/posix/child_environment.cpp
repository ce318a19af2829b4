#include <cstdlib>

#include "firebird/fresh_process.h"

namespace tarnvel::firebird::testing {

void SetEnvironmentForChildren(const char* name, const char* value) {
  if (value != nullptr)
    setenv(name, value, 1);
  else
    unsetenv(name);
}

}  // namespace tarnvel::firebird::testing
