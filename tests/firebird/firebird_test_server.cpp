#include "firebird/firebird_test_server.h"

#include "sysroutines/platform_defaults.h"

namespace tarnvel::firebird::testing {

std::string ClientLibraryName() {
  return sys::kClientLibraryName;
}

std::string TestDatabasePath(const std::string& file) {
  return std::string(TARNVEL_FIREBIRD_TEST_DATABASES) + "/" + file;
}

std::string TestDatabase(const std::string& file) {
  return kServer + ":" + TestDatabasePath(file);
}

}  // namespace tarnvel::firebird::testing
