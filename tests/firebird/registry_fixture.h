#pragma once
// Puts registry keys where server discovery looks for them, for one test.
// Linux: a registry file that TARNVEL_REGISTRY_FILE points at. Windows: the
// real HKEY_LOCAL_MACHINE (of the Wine prefix), where the keys discovery
// reads are removed first and again at the end, in both views.

#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "sysroutines/registry.h"

namespace tarnvel::testing {

struct FixtureValue {
  enum class Kind { Text, ExpandableText, Number };
  std::string name;
  Kind kind = Kind::Text;
  std::string text;  ///< UTF-8; for Number the decimal value
};

struct FixtureKey {
  std::string path;  ///< below HKEY_LOCAL_MACHINE, one of DiscoveryKeys()
  std::vector<FixtureValue> values;
  /// Windows: the part of the registry the key is written to (the registry
  /// file of Linux has one view only).
  sys::RegistryView view = sys::RegistryView::Default;
};

/// The four keys discovery reads.
const std::vector<std::string>& DiscoveryKeys();

class RegistryFixture {
 public:
  explicit RegistryFixture(const std::vector<FixtureKey>& keys);
  ~RegistryFixture();
  RegistryFixture(const RegistryFixture&) = delete;
  RegistryFixture& operator=(const RegistryFixture&) = delete;

 private:
  TempDir dir_{"registry"};
};

}  // namespace tarnvel::testing
