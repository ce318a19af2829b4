#include "sysroutines/ascii_case.h"

#include <gtest/gtest.h>

namespace tarnvel::sys {
namespace {

TEST(AsciiCase, FoldsOnlyAsciiLetters) {
  const struct {
    std::string text, upper, lower;
  } cases[] = {
      {"uMain_OkBtn_2", "UMAIN_OKBTN_2", "umain_okbtn_2"},
      {"", "", ""},
      {"@[`{", "@[`{", "@[`{"},           // the bytes beside A-Z and a-z stay
      {"écran Ä", "éCRAN Ä", "écran Ä"},  // UTF-8 letters stay
      {std::string("a\0b", 3), std::string("A\0B", 3), std::string("a\0b", 3)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(UpperAscii(c.text), c.upper) << c.text;
    EXPECT_EQ(LowerAscii(c.text), c.lower) << c.text;
  }
}

TEST(AsciiCase, EqualityIgnoresOnlyAsciiCase) {
  const struct {
    const char* a;
    const char* b;
    bool equal;
  } cases[] = {
      {"SYSDBA", "sysdba", true},
      {"stCaptions", "STCAPTIONS", true},
      {"", "", true},
      {"ab", "abc", false},
      {"@", "`", false},
      {"[", "{", false},
      {"écran", "Écran", false},
      {"FBSERVER", "FBSERVER ", false},
  };
  for (const auto& c : cases) EXPECT_EQ(EqualsIgnoringAsciiCase(c.a, c.b), c.equal) << c.a << " ~ " << c.b;
}

}  // namespace
}  // namespace tarnvel::sys
