#include "sysroutines/text_helpers.h"

namespace tarnvel::sys {

std::string TwoDigitString(int value) {
  std::string text = std::to_string(value);
  if (text.size() == 1) return "0" + text;
  if (text.size() > 2) return text.substr(text.size() - 2);
  return text;
}

std::string ReplaceAll(std::string text, const std::string& pattern, const std::string& replacement) {
  if (pattern.empty()) return text;
  const bool restartable = replacement.find(pattern) == std::string::npos;
  std::size_t from = 0;
  for (;;) {
    const std::size_t at = text.find(pattern, restartable ? 0 : from);
    if (at == std::string::npos) return text;
    text.replace(at, pattern.size(), replacement);
    from = at + replacement.size();
  }
}

}  // namespace tarnvel::sys
