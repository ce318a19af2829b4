#include "sysroutines/utf8.h"

namespace tarnvel::sys {

void AppendUtf8(std::string& out, char32_t cp) {
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

std::optional<char32_t> NextCodePoint(std::string_view text, std::size_t& i) {
  const auto c = static_cast<unsigned char>(text[i++]);
  if (c < 0x80) return c;
  int extra = 0;
  char32_t cp = 0;
  if ((c >> 5) == 0x6) {
    cp = c & 0x1F;
    extra = 1;
  } else if ((c >> 4) == 0xE) {
    cp = c & 0x0F;
    extra = 2;
  } else if ((c >> 3) == 0x1E) {
    cp = c & 0x07;
    extra = 3;
  } else {
    return std::nullopt;
  }
  for (int k = 0; k < extra; ++k) {
    if (i >= text.size() || (static_cast<unsigned char>(text[i]) >> 6) != 0x2) return std::nullopt;
    cp = (cp << 6) | (static_cast<unsigned char>(text[i++]) & 0x3F);
  }
  return cp;
}

}  // namespace tarnvel::sys
