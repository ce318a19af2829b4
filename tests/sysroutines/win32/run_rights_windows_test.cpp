// Windows: the rights a run needs are an elevated token. Wine runs every
// program elevated, so the "not elevated" side is asked of the token an
// administrator has without elevation: the own token's linked token.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <type_traits>

#include "sysroutines/run_rights.h"
#include "sysroutines/under_wine.h"
#include "sysroutines/win32/token_rights.h"

namespace tarnvel::sys {
namespace {

using Handle = std::unique_ptr<std::remove_pointer_t<HANDLE>, decltype(&CloseHandle)>;

TEST(MissingRunRightsWindows, AnElevatedTokenHasThemAndItsUnelevatedTwinDoesNot) {
  HANDLE opened = nullptr;
  ASSERT_NE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened), 0);
  const Handle own(opened, &CloseHandle);
  TOKEN_ELEVATION_TYPE type{};
  DWORD size = 0;
  ASSERT_NE(GetTokenInformation(own.get(), TokenElevationType, &type, sizeof type, &size), 0);
  if (testing::RunsUnderWine())
    EXPECT_EQ(type, TokenElevationTypeFull) << "Wine no longer elevates every program";
  if (type == TokenElevationTypeDefault) GTEST_SKIP() << "a token without an elevated and an unelevated side";

  TOKEN_LINKED_TOKEN linked{};
  ASSERT_NE(GetTokenInformation(own.get(), TokenLinkedToken, &linked, sizeof linked, &size), 0);
  const Handle twin(linked.LinkedToken, &CloseHandle);
  const std::vector<std::string> elevated, unelevated{"TokenElevation"};
  const bool ownIsElevated = type == TokenElevationTypeFull;
  EXPECT_EQ(MissingRightsOfToken(own.get()), ownIsElevated ? elevated : unelevated);
  EXPECT_EQ(MissingRightsOfToken(twin.get()), ownIsElevated ? unelevated : elevated);
  EXPECT_EQ(MissingRunRights(), MissingRightsOfToken(own.get()));
}

TEST(MissingRunRightsWindows, ATokenThatCannotBeAskedLacksTheRights) {
  HANDLE opened = nullptr;
  // Opened without TOKEN_QUERY: its elevation cannot be read.
  ASSERT_NE(OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_DEFAULT, &opened), 0);
  const Handle token(opened, &CloseHandle);
  EXPECT_EQ(MissingRightsOfToken(token.get()), std::vector<std::string>{"TokenElevation"});
}

}  // namespace
}  // namespace tarnvel::sys
