// Start-up language selection follows the system language (on Linux: the
// locale variables).
#include <gtest/gtest.h>

#include <cstdlib>

#include "i18n/ldm.h"

namespace tarnvel::i18n {
namespace {

TEST(LanguageSelection, SystemLanguagePlusOneBecomesTheActiveColumn) {
  const char* saved = std::getenv("LANG");
  const std::string savedLang = saved ? saved : "";
  unsetenv("LC_ALL");
  unsetenv("LC_MESSAGES");
  const struct { const char* lang; int column; } cases[] = {
      {"de_DE.UTF-8", 4}, {"fr_FR.UTF-8", 5}, {"ru_RU.UTF-8", 2}, {"en_US.UTF-8", 3},
      {"uk_UA.UTF-8", 3}, {"pl_PL.UTF-8", 3},
  };
  for (const auto& c : cases) {
    setenv("LANG", c.lang, 1);
    TLDM ldm(EmbeddedSilTable());
    EXPECT_EQ(ldm.DataModuleCreate(), "") << c.lang;
    EXPECT_EQ(ldm.Sild.ActiveLanguage(), c.column) << c.lang;
    EXPECT_EQ(ldm.Sil.ActiveLanguage(), c.column) << c.lang;
  }
  if (savedLang.empty()) unsetenv("LANG"); else setenv("LANG", savedLang.c_str(), 1);
}

}  // namespace
}  // namespace tarnvel::i18n
