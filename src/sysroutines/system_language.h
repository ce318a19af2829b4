#pragma once
// The system's default language and the catalogue column chosen from it.

#include <cstdint>

namespace tarnvel::sys {

/// The system default language identifier (a Windows LANGID). Windows:
/// GetSystemDefaultLangID (the system locale, not the user's UI language).
/// Linux: the first of LC_ALL, LC_MESSAGES, LANG that is set and not empty;
/// ru, en, de and fr map to their primary LANGIDs, anything else to English.
std::uint16_t SystemDefaultLangId();

/// The low byte of SystemDefaultLangId() (the primary language).
std::uint8_t GetSystemLanguageID();

/// Maps a primary language byte to the language index: Russian 0x19 -> 1,
/// English 0x09 -> 2, German 0x07 -> 3, French 0x0C -> 4, any other -> 2.
int LanguageIndexFor(std::uint8_t languageId);

/// LanguageIndexFor(GetSystemLanguageID()).
int GetLanguageIndex();

}  // namespace tarnvel::sys
