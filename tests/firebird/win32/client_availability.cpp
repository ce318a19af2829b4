#include "firebird/firebird_test_server.h"

namespace tarnvel::firebird::testing {

// No Windows build of the Firebird client exists on these machines; the
// x86_64 test build has the test-only bridge to the Linux client beside it
// (cmake/FirebirdBridge.cmake). The i686 build is compiled, not run.
bool ClientLibraryAvailable() {
  return sizeof(void*) == 8;
}

}  // namespace tarnvel::firebird::testing
