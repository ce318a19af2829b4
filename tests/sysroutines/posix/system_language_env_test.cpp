// Linux takes the system language from the locale variables.
#include <gtest/gtest.h>

#include <cstdlib>

#include "sysroutines/system_language.h"

namespace tarnvel::sys {
namespace {

class LocaleEnvironment {
 public:
  LocaleEnvironment(const char* lcAll, const char* lcMessages, const char* lang) {
    Set("LC_ALL", lcAll);
    Set("LC_MESSAGES", lcMessages);
    Set("LANG", lang);
  }
  ~LocaleEnvironment() {
    Set("LC_ALL", saved_[0].c_str());
    Set("LC_MESSAGES", saved_[1].c_str());
    Set("LANG", saved_[2].c_str());
  }

 private:
  static void Set(const char* name, const char* value) {
    if (value && *value) setenv(name, value, 1); else unsetenv(name);
  }
  std::string saved_[3] = {Get("LC_ALL"), Get("LC_MESSAGES"), Get("LANG")};
  static std::string Get(const char* name) { const char* v = std::getenv(name); return v ? v : ""; }
};

TEST(SystemLanguagePosix, FirstSetVariableDecides) {
  const struct { const char* lcAll; const char* lcMessages; const char* lang; int index; } cases[] = {
      {"", "", "de_DE.UTF-8", 3},
      {"", "", "fr_FR@euro", 4},
      {"", "", "ru_RU.UTF-8", 1},
      {"", "", "en_GB.UTF-8", 2},
      {"", "", "uk_UA.UTF-8", 2},       // any other language: English
      {"", "", "", 2},                  // nothing set: English
      {"", "de_AT", "fr_FR", 3},        // LC_MESSAGES before LANG
      {"ru_RU", "de_AT", "fr_FR", 1},   // LC_ALL before both
      {"", "", "C", 2},
      {"", "", "rux_XX", 2},            // only the whole language part counts
  };
  for (const auto& c : cases) {
    LocaleEnvironment env(c.lcAll, c.lcMessages, c.lang);
    EXPECT_EQ(GetLanguageIndex(), c.index) << c.lcAll << "|" << c.lcMessages << "|" << c.lang;
  }
}

}  // namespace
}  // namespace tarnvel::sys
