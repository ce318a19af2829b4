#pragma once
// The rights check of the Windows body, on a token of the caller's choice:
// the program asks about its own token; tests also ask about the token an
// administrator has without elevation (the own token's linked token), since
// Wine runs every program elevated.

#include <windows.h>

#include <string>
#include <vector>

namespace tarnvel::sys {

/// {"TokenElevation"} when Token is not elevated or its elevation cannot be
/// read (Token needs TOKEN_QUERY); empty when it is elevated.
std::vector<std::string> MissingRightsOfToken(HANDLE token);

}  // namespace tarnvel::sys
