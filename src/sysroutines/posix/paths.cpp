#include "sysroutines/paths.h"

#include "sysroutines/utf8.h"

namespace tarnvel::sys {

const char kPathDelimiter = '/';

std::filesystem::path PathFromUtf8(std::string_view text) { return std::filesystem::path(text); }

std::string PathToUtf8(const std::filesystem::path& path) { return path.native(); }

// wchar_t is 32 bits here: one code point per character.
std::wstring Utf8ToWide(std::string_view text) {
  std::wstring out;
  std::size_t i = 0;
  while (i < text.size()) out.push_back(static_cast<wchar_t>(NextCodePoint(text, i).value_or(0xFFFD)));
  return out;
}

std::string WideToUtf8(std::wstring_view text) {
  std::string out;
  for (wchar_t w : text) AppendUtf8(out, static_cast<char32_t>(w));
  return out;
}

}  // namespace tarnvel::sys
