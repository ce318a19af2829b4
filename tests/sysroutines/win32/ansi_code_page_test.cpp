// UTF-8 to the system's ANSI code page: what a code page holds is converted,
// what it cannot hold is refused, never replaced by a look-alike.
#include <gtest/gtest.h>

#include <optional>

#include "sysroutines/ansi_code_page.h"
#include "sysroutines/win32/code_page_text.h"

namespace tarnvel::sys {
namespace {

struct Case {
  const char* what;
  std::string text;
  UINT codePage;
  std::optional<std::string> expected;
};

const Case kCases[] = {
    {"ASCII", "SYSDBA", 1252, "SYSDBA"},
    {"empty", "", 1252, ""},
    {"Latin", "M\xC3\xBCller", 1252, "M\xFCller"},
    {"euro sign", "\xE2\x82\xAC", 1252, "\x80"},
    // Best fit would give "Lodz": another folder, another password.
    {"Polish in 1252", "\xC5\x81\xC3\xB3\x64\xC5\xBA", 1252, std::nullopt},
    {"Cyrillic in 1252", "\xD0\x9F\xD0\xB0\xD1\x80\xD0\xBE\xD0\xBB\xD1\x8C", 1252, std::nullopt},
    {"Cyrillic in 1251", "\xD0\x9F\xD0\xB0\xD1\x80\xD0\xBE\xD0\xBB\xD1\x8C", 1251,
     "\xCF\xE0\xF0\xEE\xEB\xFC"},
    {"Latin in 1251", "M\xC3\xBCller", 1251, std::nullopt},
    {"question mark stays", "who?", 1251, "who?"},
    {"emoji", "key \xF0\x9F\x94\x91", 1252, std::nullopt},
    {"malformed", "\xFF", 1252, std::nullopt},
    {"cut sequence", "a\xC3", 1252, std::nullopt},
    {"UTF-8 system code page", "M\xC3\xBCller", CP_UTF8, "M\xC3\xBCller"},
    {"malformed for UTF-8", "\xFF", CP_UTF8, std::nullopt},
};

TEST(Utf8ToCodePage, ConvertsWhatTheCodePageHoldsAndRefusesTheRest) {
  for (const Case& c : kCases) EXPECT_EQ(Utf8ToCodePage(c.text, c.codePage), c.expected) << c.what;
}

TEST(Utf8ToAnsiCodePage, UsesTheSystemsAnsiCodePage) {
  for (const Case& c : kCases)
    EXPECT_EQ(Utf8ToAnsiCodePage(c.text), Utf8ToCodePage(c.text, GetACP())) << c.what;
  EXPECT_EQ(Utf8ToAnsiCodePage("localhost/3051:C:\\Data\\Base.fdb"), "localhost/3051:C:\\Data\\Base.fdb");
  EXPECT_EQ(Utf8ToAnsiCodePage("key \xF0\x9F\x94\x91"), std::nullopt) << "code page " << GetACP();
}

}  // namespace
}  // namespace tarnvel::sys
