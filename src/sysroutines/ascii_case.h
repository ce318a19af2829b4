#pragma once
// Case-blind text for identifiers, registry names, executable names and
// Firebird user names: only the ASCII letters a-z and A-Z are folded, every
// other byte (UTF-8 sequences included) is compared as it is, whatever the
// locale.

#include <string>
#include <string_view>

namespace tarnvel::sys {

/// Text with a-z turned into A-Z.
std::string UpperAscii(std::string_view text);
/// Text with A-Z turned into a-z.
std::string LowerAscii(std::string_view text);
/// True when A and B differ at most in the case of ASCII letters.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace tarnvel::sys
