#include "sysroutines/text_helpers.h"

#include <gtest/gtest.h>

namespace tarnvel::sys {
namespace {

TEST(TwoDigitString, PadsCutsAndKeepsSigns) {
  const struct { int value; const char* text; } cases[] = {
      {7, "07"}, {0, "00"}, {12, "12"}, {2026, "26"}, {-5, "-5"}, {123, "23"},
  };
  for (const auto& c : cases) EXPECT_EQ(TwoDigitString(c.value), c.text) << c.value;
}

TEST(ReplaceAll, ReplacesEveryOccurrence) {
  const struct { const char* text; const char* pattern; const char* replacement; const char* result; } cases[] = {
      {"a{5C}b{5C}c", "{5C}", "\\", "a\\b\\c"},
      {"a{5C}b", "", "\\", "a{5C}b"},            // empty pattern: unchanged
      {"abc", "x", "y", "abc"},
      {"{5c}", "{5C}", "\\", "{5c}"},              // case-sensitive
      {"abb", "ab", "a", "ab"},                    // goes on after the inserted text
      {"aab", "ab", "bbaa", "abbaa"},              // a new occurrence in front of the insertion stays
      {"abab", "ab", "b", "bb"},
      {"x{0}y{0}", "{0}", "[{0}]", "x[{0}]y[{0}]"},  // replacement holding the pattern ends
      {"aa", "a", "aa", "aaaa"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReplaceAll(c.text, c.pattern, c.replacement), c.result) << c.text << " / " << c.pattern;
  }
}

}  // namespace
}  // namespace tarnvel::sys
