#pragma once
// UTF-8 encoding and decoding of single code points, shared by the code-page
// conversions, the registry file reader and the path conversions.

#include <optional>
#include <string>
#include <string_view>

namespace tarnvel::sys {

/// Appends the UTF-8 bytes of one code point.
void AppendUtf8(std::string& out, char32_t codePoint);

/// The code point starting at Text[Index], advancing Index past it; nullopt
/// (with Index advanced past the bad byte) for a malformed sequence.
std::optional<char32_t> NextCodePoint(std::string_view text, std::size_t& index);

}  // namespace tarnvel::sys
