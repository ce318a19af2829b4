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
  std::size_t at = text.find(pattern);
  while (at != std::string::npos) {
    text.replace(at, pattern.size(), replacement);
    at = text.find(pattern, at + replacement.size());
  }
  return text;
}

}  // namespace tarnvel::sys
