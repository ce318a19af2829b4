#include "firebird/firebird_test_server.h"

namespace tarnvel::firebird::testing {

// libfbclient2 is installed with the project's packages.
bool ClientLibraryAvailable() {
  return true;
}

}  // namespace tarnvel::firebird::testing
