// MissingRunRights as a program of its own, so that the tests can ask it as
// another user or with capabilities taken away. "rights_probe FILE" writes
// what is missing to FILE, one name a line; exit code 0, 2 for a wrong
// command line, 1 when FILE cannot be written.
#include <fstream>

#include "sysroutines/run_rights.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  std::ofstream out(argv[1], std::ios::binary);
  for (const std::string& name : tarnvel::sys::MissingRunRights()) out << name << "\n";
  out.close();
  return out ? 0 : 1;
}
