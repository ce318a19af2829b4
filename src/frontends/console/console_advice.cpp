#include "frontends/console/console_advice.h"

#include "i18n/ldm.h"

namespace tarnvel::console {

using i18n::GetMessageText;

std::string ConsoleCommandAdvice(const std::string& failure, const std::string& program) {
  // The texts are the engine's own catalogue texts, found whole in the
  // failure, so a server message that merely quotes a menu item is no match.
  static const char* const kMenuTexts[][2] = {
      {"uUpdate_UpdateProgramm_20", "uConsole_MenuAdvice_1"},  // already shut down: bring it online
      {"uUpdate_UpdateProgramm_30", "uConsole_MenuAdvice_2"},  // start the service, online, repeat
      {"uUpdate_UpdateProgramm_50", "uConsole_MenuAdvice_1"},  // online by hand
  };
  std::string advice;
  for (const auto& [menuText, consoleText] : kMenuTexts) {
    if (failure.find(GetMessageText(menuText)) == std::string::npos) continue;
    const std::string line = GetMessageText(consoleText, program) + "\n";
    if (advice.find(line) == std::string::npos) advice += line;
  }
  return advice;
}

}  // namespace tarnvel::console
