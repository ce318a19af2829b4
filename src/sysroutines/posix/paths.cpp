#include "sysroutines/paths.h"


namespace tarnvel::sys {

const char kPathDelimiter = '/';

std::filesystem::path PathFromUtf8(std::string_view text) { return std::filesystem::path(text); }

std::string PathToUtf8(const std::filesystem::path& path) { return path.native(); }

std::wstring Utf8ToWide(std::string_view text) {
  std::wstring out;
  std::size_t i = 0;
  while (i < text.size()) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    char32_t cp = 0xFFFD;
    int extra = 0;
    if (c < 0x80) { cp = c; }
    else if ((c >> 5) == 0x6) { cp = c & 0x1F; extra = 1; }
    else if ((c >> 4) == 0xE) { cp = c & 0x0F; extra = 2; }
    else if ((c >> 3) == 0x1E) { cp = c & 0x07; extra = 3; }
    ++i;
    for (int k = 0; k < extra && i < text.size(); ++k, ++i) {
      cp = (cp << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
    }
    out.push_back(static_cast<wchar_t>(cp));
  }
  return out;
}

std::string WideToUtf8(std::wstring_view text) {
  std::string out;
  for (wchar_t w : text) {
    char32_t cp = static_cast<char32_t>(w);
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

}  // namespace tarnvel::sys
