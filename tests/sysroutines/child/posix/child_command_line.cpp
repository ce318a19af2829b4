#include "child_command_line.h"

std::string OwnCommandLine(int argc, char** argv) {
  std::string line;
  for (int i = 0; i < argc; ++i) line += (i == 0 ? "" : " ") + std::string(argv[i]);
  return line;
}
