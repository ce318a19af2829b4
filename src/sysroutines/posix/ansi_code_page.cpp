#include "sysroutines/ansi_code_page.h"

namespace tarnvel::sys {

std::optional<std::string> Utf8ToAnsiCodePage(std::string_view text) {
  return std::string(text);
}

}  // namespace tarnvel::sys
