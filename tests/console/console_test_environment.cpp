#include "console/console_test_environment.h"

#include <iostream>

#include "sysroutines/paths.h"

namespace tarnvel::console::testing {

ConsoleEnvironment ClientOnlyEnvironment(const std::string& binFolder, std::ostream& out, std::ostream& err,
                                         std::istream& in) {
  ConsoleEnvironment env;
  env.form.executablePath = sys::IncludeTrailingPathDelimiter(binFolder) + "Updater_TarnVel_console";
  // A CLIENT-only product never reaches the server: no registry is read.
  env.form.discoverServer = [](firebird::TFBServParams&) {};
  env.form.service.pause = [](std::chrono::milliseconds) {};
  env.form.shutdownPause = [](std::chrono::milliseconds) {};
  env.out = &out;
  env.err = &err;
  env.in = &in;
  env.inputIsTerminal = false;
  env.errorIsTerminal = false;
  // The machine's own TARNVEL_SYSDBA_PASSWORD stays out of the test.
  env.environment = [](const std::string&) { return std::optional<std::string>(); };
  return env;
}

}  // namespace tarnvel::console::testing
