#include "firebird/client_text.h"

#include <optional>
#include <stdexcept>

#include "sysroutines/ansi_code_page.h"

namespace tarnvel::firebird {

std::string ClientText(const std::string& text, const char* what) {
  std::optional<std::string> converted = sys::Utf8ToAnsiCodePage(text);
  if (!converted) {
    throw std::invalid_argument(std::string("The ") + what +
                                " holds a character that the system's code page cannot represent");
  }
  return std::move(*converted);
}

}  // namespace tarnvel::firebird
