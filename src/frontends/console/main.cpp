// The updater without a window, for remote shells and unattended runs
// (Updater_TarnVel_console on Linux, where the window has the plain name).
#include <string>
#include <vector>

#include "frontends/console/console_run.h"

int main(int argc, char* argv[]) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return tarnvel::console::RunConsole(args);
}
