#pragma once
// Text as a JSON string, for the files of ours that people and programs
// both read (the run journal, the console's report).

#include <string>

namespace tarnvel {

/// Text (UTF-8) as a JSON string literal, quotes included: quote, backslash
/// and control characters escaped, everything else as it is.
std::string JsonQuoted(const std::string& text);

}  // namespace tarnvel
