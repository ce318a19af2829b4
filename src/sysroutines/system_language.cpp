#include "sysroutines/system_language.h"

namespace tarnvel::sys {

std::uint8_t GetSystemLanguageID() { return static_cast<std::uint8_t>(SystemDefaultLangId() & 0xFF); }

int LanguageIndexFor(std::uint8_t languageId) {
  switch (languageId) {
    case 0x19: return 1;  // Russian
    case 0x09: return 2;  // English
    case 0x07: return 3;  // German
    case 0x0C: return 4;  // French
    default: return 2;
  }
}

int GetLanguageIndex() { return LanguageIndexFor(GetSystemLanguageID()); }

}  // namespace tarnvel::sys
