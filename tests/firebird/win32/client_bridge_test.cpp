// The Windows build loads fbclient.dll by its bare name from beside the
// program; under Wine that is the test-only bridge to the Linux client.
#include <gtest/gtest.h>

#include <filesystem>

#include "firebird/client_library.h"
#include "firebird/firebird_test_server.h"
#include "sysroutines/paths.h"

namespace tarnvel::firebird {
namespace {

// What crosses the bridge must have the same size on both sides (the bridge
// asserts the Linux side: ISC_STATUS 8 bytes, handles 4 bytes on x86_64).
static_assert(sizeof(ISC_STATUS) == sizeof(void*));
static_assert(sizeof(isc_db_handle) == 4 && sizeof(isc_svc_handle) == 4);

TEST(ClientBridge, FbclientDllBesideTheProgramIsLoaded) {
  TARNVEL_REQUIRE_CLIENT_LIBRARY();
  const std::string library = testing::ClientLibraryName();
  ASSERT_EQ(library, "fbclient.dll");
  EXPECT_TRUE(std::filesystem::is_regular_file(sys::PathFromUtf8(ClientLibraryBesideExecutable(library))));
  std::string reason;
  const auto loaded = ClientLibrary::Load(library, &reason);
  ASSERT_NE(loaded, nullptr) << reason;
  EXPECT_NE(loaded->api().fb_interpret, nullptr);
}

}  // namespace
}  // namespace tarnvel::firebird
