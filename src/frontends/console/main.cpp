// Updater_TarnVel, headless: until the front ends are built this program
// starts the application shell (catalogue, language, run log) and says what
// is not there yet. The update run itself is built and tested (tests/driver).

#include <iostream>
#include <memory>

#include "app/exception_report.h"
#include "app/profile.h"
#include "frontends/console/console_host.h"
#include "i18n/catalogue_table.h"
#include "i18n/ldm.h"
#include "sysroutines/executable.h"

int main() {
  using namespace tarnvel;
  try {
    i18n::TLDM& ldm = i18n::LDM();
    if (!ldm.StartupReport().empty()) std::cout << ldm.StartupReport() << "\n";

    auto log = std::make_unique<RunLog>(RunLog::BesideExecutable(
        sys::ExecutableDir(), [](const std::string& line) { std::cout << line << "\n"; }));
    const std::string logName = log->FileName();
    ConsoleHost host(std::move(log));

    const ProjectProfile profile = TarnVelProfile();
    const InputPresets presets = TarnVelPresets();
    std::cout << "Language column: "
              << i18n::kLanguageNames[static_cast<std::size_t>(ldm.Sild.ActiveLanguage() - 1)]
              << "\nProduct folder preset: " << presets.ProgramLocation
              << "\nClient library: " << profile.ClientLibrary << "\nLog file: " << logName << "\n";
    host.SaveExceptionToLog(i18n::GetMessageText("uIS_TarnVel_8"));
    AEException(host, "Updater_TarnVel",
                "Not built yet: the window and the unattended front end that start the update run "
                "(the run itself is built and tested: tests/driver)");
    return 2;
  } catch (const std::exception& failure) {
    std::cerr << failure.what() << "\n";
    return 1;
  }
}
