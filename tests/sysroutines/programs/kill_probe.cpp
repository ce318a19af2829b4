// The process routines as a program of their own, so that the tests can run
// them as another user. "kill NAME" runs KillProcessByName, "privilege" runs
// SetDebugPrivilege(true); exit code 0 when the routine returned true, 1 when
// false, 2 for a wrong command line.
#include <cstring>

#include "sysroutines/process_control.h"

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "kill") == 0) return tarnvel::sys::KillProcessByName(argv[2]) ? 0 : 1;
  if (argc == 2 && std::strcmp(argv[1], "privilege") == 0)
    return tarnvel::sys::SetDebugPrivilege(true) ? 0 : 1;
  return 2;
}
