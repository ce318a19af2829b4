#include "sysroutines/dynamic_library.h"

#include <gtest/gtest.h>

namespace tarnvel::sys {
namespace {

TEST(DynamicLibrary, LoadsResolvesAndReportsWhatIsMissing) {
  std::string reason;
  DynamicLibrary library = DynamicLibrary::Load("kernel32.dll", &reason);
  ASSERT_TRUE(library.IsLoaded()) << reason;
  EXPECT_NE(library.Symbol("GetTickCount"), nullptr);
  EXPECT_EQ(library.Symbol("tarnvel_no_such_symbol"), nullptr);

  DynamicLibrary moved = std::move(library);
  EXPECT_FALSE(library.IsLoaded());
  EXPECT_NE(moved.Symbol("GetTickCount"), nullptr);

  const DynamicLibrary missing = DynamicLibrary::Load("tarnvel_no_such_library.dll", &reason);
  EXPECT_FALSE(missing.IsLoaded());
  EXPECT_NE(reason.find("126"), std::string::npos) << reason;  // ERROR_MOD_NOT_FOUND
}

}  // namespace
}  // namespace tarnvel::sys
