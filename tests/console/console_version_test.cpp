// The real console program prints the version project() gives the build.
#include <gtest/gtest.h>

#include <regex>

#include "support/program_output.h"
#include "sysroutines/paths.h"

namespace tarnvel::console {
namespace {

TEST(ConsoleVersion, TheProgramPrintsTheVersionOfTheBuild) {
  ASSERT_TRUE(std::regex_match(TARNVEL_PROJECT_VERSION, std::regex("[0-9]+(\\.[0-9]+){1,3}")))
      << TARNVEL_PROJECT_VERSION;
  const testing::ProgramOutput run = testing::RunForOutput(TARNVEL_CONSOLE_PROGRAM, {"--version"});
  EXPECT_EQ(run.exitCode, 0);
  const std::string name = sys::PathToUtf8(sys::PathFromUtf8(TARNVEL_CONSOLE_PROGRAM).filename());
  // One line; the Windows C runtime ends it with CR LF.
  std::string line = run.standardOutput;
  if (line.ends_with("\n")) line.pop_back();
  if (line.ends_with("\r")) line.pop_back();
  EXPECT_EQ(line, name + " " + TARNVEL_PROJECT_VERSION) << run.standardOutput;
}

}  // namespace
}  // namespace tarnvel::console
