#pragma once
// The two single-byte code pages of the stored catalogue tables.

#include <optional>
#include <string>
#include <string_view>

namespace tarnvel::i18n {

enum class CodePage { Windows1251, Windows1252 };

/// Converts single-byte text to UTF-8. Bytes the code page leaves undefined
/// become U+FFFD.
std::string ToUtf8(std::string_view bytes, CodePage page);

/// Converts UTF-8 text to the code page; nullopt when a character has no byte.
std::optional<std::string> FromUtf8(std::string_view text, CodePage page);

}  // namespace tarnvel::i18n
