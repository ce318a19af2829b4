#pragma once
// Values as the client library reads them. On Windows it takes paths, user
// names, passwords and roles in the system's ANSI code page, while this
// program holds UTF-8; on Linux it takes UTF-8.

#include <string>

namespace tarnvel::firebird {

/// Text in the form the client library reads. Throws std::invalid_argument
/// when the system's code page cannot hold it; the message names What ("the
/// password", ...) and never the value.
std::string ClientText(const std::string& text, const char* what);

}  // namespace tarnvel::firebird
