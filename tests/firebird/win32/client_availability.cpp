#include "firebird/firebird_test_server.h"

namespace tarnvel::firebird::testing {

// No Windows build of the Firebird client exists on these machines.
bool ClientLibraryAvailable() {
  return false;
}

}  // namespace tarnvel::firebird::testing
