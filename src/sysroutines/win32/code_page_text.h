#pragma once
// UTF-8 to a Windows code page, refusing what the code page cannot hold.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace tarnvel::sys {

/// Text in CodePage, without best-fit look-alikes; nullopt when Text is not
/// valid UTF-8 or holds a character CodePage cannot represent. CP_UTF8 gives
/// valid UTF-8 back as it is.
std::optional<std::string> Utf8ToCodePage(std::string_view text, UINT codePage);

}  // namespace tarnvel::sys
