#include "sysroutines/dynamic_library.h"

#include <gtest/gtest.h>

namespace tarnvel::sys {
namespace {

TEST(DynamicLibrary, LoadsResolvesAndReportsWhatIsMissing) {
  std::string reason;
  DynamicLibrary library = DynamicLibrary::Load("libc.so.6", &reason);
  ASSERT_TRUE(library.IsLoaded()) << reason;
  EXPECT_NE(library.Symbol("strlen"), nullptr);
  EXPECT_EQ(library.Symbol("tarnvel_no_such_symbol"), nullptr);

  DynamicLibrary moved = std::move(library);
  EXPECT_FALSE(library.IsLoaded());
  EXPECT_EQ(library.Symbol("strlen"), nullptr);
  EXPECT_NE(moved.Symbol("strlen"), nullptr);

  const DynamicLibrary missing = DynamicLibrary::Load("libtarnvel_no_such_library.so", &reason);
  EXPECT_FALSE(missing.IsLoaded());
  EXPECT_NE(reason.find("libtarnvel_no_such_library.so"), std::string::npos) << reason;
}

}  // namespace
}  // namespace tarnvel::sys
