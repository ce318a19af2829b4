#pragma once

#include <string>

namespace tarnvel::firebird {

/// Text without leading and trailing blanks and control characters (every
/// byte up to 0x20); bytes of multi-byte characters are never cut.
std::string Trim(const std::string& text);

}  // namespace tarnvel::firebird
