#include "sysroutines/system_language.h"

#include <cstdlib>
#include <string_view>

namespace tarnvel::sys {

std::uint16_t SystemDefaultLangId() {
  const char* value = nullptr;
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* v = std::getenv(name);
    if (v != nullptr && *v != '\0') {
      value = v;
      break;
    }
  }
  const std::string_view locale = value ? value : "";
  // "de_AT.UTF-8", "fr@euro", "ru": the language is the part before _ . @
  const std::string_view lang = locale.substr(0, locale.find_first_of("_.@"));
  if (lang == "ru") return 0x0419;
  if (lang == "de") return 0x0407;
  if (lang == "fr") return 0x040C;
  return 0x0409;  // en, C, POSIX and every other language
}

}  // namespace tarnvel::sys
