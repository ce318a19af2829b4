#pragma once
// A program run to its end with its standard output read back, for tests
// that look at what a real executable prints.

#include <string>
#include <vector>

namespace tarnvel::testing {

struct ProgramOutput {
  int exitCode = -1;  // -1 when the program could not be started or was killed
  std::string standardOutput;
};

/// Runs Program (a full path) with Arguments and waits for it; standard
/// error stays the test's own, standard input is empty.
ProgramOutput RunForOutput(const std::string& program, const std::vector<std::string>& arguments);

}  // namespace tarnvel::testing
