#pragma once
// Small text helpers shared by the engine.

#include <string>

namespace tarnvel::sys {

/// Decimal text of Value with exactly two characters: one digit gets a leading
/// "0", more than two keep the last two (2026 -> "26", -5 -> "-5").
std::string TwoDigitString(int value);

/// Text with every occurrence of Pattern replaced by Replacement. After each
/// replacement the search starts again at the beginning of the text; when
/// Replacement itself contains Pattern that would never end, so the search
/// then goes on after the inserted text instead. An empty Pattern returns Text.
std::string ReplaceAll(std::string text, const std::string& pattern, const std::string& replacement);

}  // namespace tarnvel::sys
