#include "child_platform.h"

#include <fcntl.h>

std::string OwnCommandLine(int argc, char** argv) {
  std::string line;
  for (int i = 0; i < argc; ++i) line += (i == 0 ? "" : " ") + std::string(argv[i]);
  return line;
}

bool HoldOpen(const std::string& file) { return open(file.c_str(), O_RDONLY) >= 0; }
