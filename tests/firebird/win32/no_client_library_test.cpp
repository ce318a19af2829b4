// No Windows build of the Firebird client exists on these machines: the
// program's own library name must fail with the two fixed texts.
#include <gtest/gtest.h>

#include <stdexcept>

#include "firebird/client_layers.h"
#include "firebird/db_services.h"
#include "firebird/firebird_test_server.h"

namespace tarnvel::firebird {
namespace {

TEST(NoClientLibrary, FbclientDllFailsWithTheFixedTexts) {
  const std::string library = testing::ClientLibraryName();
  ASSERT_EQ(library, "fbclient.dll");
  try {
    DatabaseOnLine(library, testing::TestDatabase("modes.fdb"), "SYSDBA", testing::kSysdbaPassword);
    ADD_FAILURE() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), kServiceLibraryNotFound);
  }
  ConnectionClientLibrary connections;
  connections.Select(library);
  try {
    connections.Current();
    ADD_FAILURE() << "no error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), kConnectionLibraryNotInstalled);
  }
}

}  // namespace
}  // namespace tarnvel::firebird
