#include "firebird/header_mode.h"

#include <stdexcept>

#include "firebird/trim.h"

namespace tarnvel::firebird {

HeaderMode ParseHeaderMode(std::string_view headerText) {
  std::size_t start = 0;
  while (start < headerText.size()) {
    std::size_t end = headerText.find('\n', start);
    if (end == std::string_view::npos) end = headerText.size();
    const std::string line = Trim(std::string(headerText.substr(start, end - start)));
    start = end + 1;
    constexpr std::string_view kLabel = "Attributes";
    if (line.compare(0, kLabel.size(), kLabel) != 0) continue;
    HeaderMode mode;
    mode.attributes = Trim(line.substr(kLabel.size()));
    // Every shutdown mode the server knows names itself with one of these
    // words; "force write", "read only" and the like leave it online.
    mode.shutDown = mode.attributes.find("shutdown") != std::string::npos ||
                    mode.attributes.find("maintenance") != std::string::npos;
    return mode;
  }
  throw std::runtime_error("The database's header statistics carry no Attributes line.");
}

}  // namespace tarnvel::firebird
