#include "sysroutines/run_rights.h"

#include <memory>
#include <type_traits>

#include "sysroutines/win32/token_rights.h"

namespace tarnvel::sys {

std::vector<std::string> MissingRightsOfToken(HANDLE token) {
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  if (GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) != 0 &&
      elevation.TokenIsElevated != 0) {
    return {};
  }
  return {"TokenElevation"};
}

std::vector<std::string> MissingRunRights() {
  HANDLE opened = nullptr;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened) == 0) return {"TokenElevation"};
  const std::unique_ptr<std::remove_pointer_t<HANDLE>, decltype(&CloseHandle)> token(opened, &CloseHandle);
  return MissingRightsOfToken(token.get());
}

}  // namespace tarnvel::sys
