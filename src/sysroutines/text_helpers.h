#pragma once
// Small text helpers shared by the engine.

#include <string>

namespace tarnvel::sys {

/// Decimal text of Value with exactly two characters: one digit gets a leading
/// "0", more than two keep the last two (2026 -> "26", -5 -> "-5").
std::string TwoDigitString(int value);

/// Text with every occurrence of Pattern replaced by Replacement, left to
/// right. The search goes on after each inserted text, so an occurrence that
/// only appears because of a replacement stays as it is: searching again from
/// the beginning would never end for inputs such as ("aab", "ab", "bbaa"),
/// whose every replacement brings a new occurrence in front of it. An empty
/// Pattern returns Text.
std::string ReplaceAll(std::string text, const std::string& pattern, const std::string& replacement);

}  // namespace tarnvel::sys
