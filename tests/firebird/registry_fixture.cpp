#include "firebird/registry_fixture.h"

namespace tarnvel::testing {

const std::vector<std::string>& DiscoveryKeys() {
  static const std::vector<std::string> keys{
      "SYSTEM\\CurrentControlSet\\Services\\NorvaskFireXBirdServer",
      "SYSTEM\\CurrentControlSet\\Services\\FirebirdServerDefaultInstance",
      "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Firebird 2.0 для ПО ГК \"Норваск\"",
      "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Firebird 2_0 server for Norvask GC",
  };
  return keys;
}

}  // namespace tarnvel::testing
