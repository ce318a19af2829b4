// The updater without a window, for remote shells and unattended runs
// (Updater_TarnVel_console; the window is the program with the plain name).
#include "frontends/console/console_run.h"
#include "sysroutines/terminal.h"

int main(int argc, char* argv[]) {
  return tarnvel::console::RunConsole(tarnvel::sys::CommandLineArguments(argc, argv));
}
