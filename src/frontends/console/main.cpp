// The updater without a window, for remote shells and unattended runs
// (Updater_TarnVel_console on Linux, where the window has the plain name).
#include "frontends/console/console_run.h"
#include "sysroutines/terminal.h"

int main(int argc, char* argv[]) {
  return tarnvel::console::RunConsole(tarnvel::sys::CommandLineArguments(argc, argv));
}
