// On Linux the libraries take UTF-8: the text goes as it is.
#include <gtest/gtest.h>

#include "sysroutines/ansi_code_page.h"

namespace tarnvel::sys {
namespace {

TEST(Utf8ToAnsiCodePage, TextAsItIs) {
  for (const std::string text :
       {"", "SYSDBA", "M\xC3\xBCller", "\xD0\x9F\xD0\xB0\xD1\x80\xD0\xBE\xD0\xBB\xD1\x8C",
        "key \xF0\x9F\x94\x91", "/srv/db/Base.fdb"})
    EXPECT_EQ(Utf8ToAnsiCodePage(text), text);
}

}  // namespace
}  // namespace tarnvel::sys
