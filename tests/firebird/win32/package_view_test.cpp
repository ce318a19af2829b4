// A 64-bit build finds the product's Firebird package where its 32-bit
// installer registers it: in the 32-bit part of the registry, as the 32-bit
// build does. The package seen only in the 64-bit part is not the product's.
#include <gtest/gtest.h>

#include "firebird/registry_fixture.h"
#include "firebird/server_discovery.h"

namespace tarnvel::firebird {
namespace {

using testing::FixtureKey;
using testing::FixtureValue;

TEST(PackageView, UninstallKeysAreReadInThe32BitView) {
  const std::string package =
      "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Firebird 2_0 server for Norvask GC";
  const FixtureKey instance{"SYSTEM\\CurrentControlSet\\Services\\FirebirdServerDefaultInstance",
                            {{"ImagePath", FixtureValue::Kind::Text, "C:\\Fb\\bin\\fbserver.exe -p 3050"}}};
  const struct {
    sys::RegistryView packageView;
    const char* serverType;
  } cases[] = {
      {sys::RegistryView::Registry32, "SUPER"},
      {sys::RegistryView::Default, ""},
  };
  for (const auto& c : cases) {
    FixtureKey packageKey{package, {{"DisplayName", FixtureValue::Kind::Text, "Firebird"}}};
    packageKey.view = c.packageView;
    const testing::RegistryFixture registry({packageKey, instance});
    TFBServParams params;
    GetFBServParams(params);
    EXPECT_EQ(params.ServerType, c.serverType) << static_cast<int>(c.packageView);
  }
}

}  // namespace
}  // namespace tarnvel::firebird
