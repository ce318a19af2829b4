#pragma once
// Text for libraries that read the system's ANSI code page rather than
// UTF-8: the Firebird client on Windows takes paths, user names, passwords
// and roles so.

#include <optional>
#include <string>
#include <string_view>

namespace tarnvel::sys {

/// UTF-8 Text in the system's ANSI code page.
/// Windows: converted without best-fit look-alikes (a "Ł" never becomes an
/// "L" that would name another file or user); nullopt when Text is not valid
/// UTF-8 or holds a character the code page cannot represent. A system whose
/// ANSI code page is UTF-8 gets Text as it is.
/// Linux: Text as it is; the libraries there take UTF-8.
std::optional<std::string> Utf8ToAnsiCodePage(std::string_view text);

}  // namespace tarnvel::sys
