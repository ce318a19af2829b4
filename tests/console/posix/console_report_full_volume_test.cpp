// A report whose volume is full when the run ends: the run's own outcome is
// kept in the outcome line, the exit code says the report is missing, and
// the earlier report stays whole.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "console/console_test_environment.h"
#include "driver/driver_fixture.h"
#include "frontends/console/console_outcome.h"
#include "frontends/console/console_report.h"
#include "frontends/console/console_run.h"

namespace tarnvel::console {
namespace {

using namespace tarnvel::testing;
using testing::ClientOnlyEnvironment;
namespace fs = std::filesystem;

int Shell(const std::string& command) {
  return std::system((command + " >/dev/null 2>&1").c_str());
}

TEST(ConsoleReportFullVolume, TheExitCodeSaysSoAndTheEarlierReportStays) {
  if (geteuid() != 0) GTEST_SKIP() << "mounting needs root";
  TempDir dir("report-full");
  const std::string root = dir / "TarnVel";
  const std::string volume = dir / "reports";
  LayOutClientProduct(root);
  fs::create_directories(dir.path() / "bin");
  fs::create_directories(volume);
  ASSERT_EQ(Shell("mount -t tmpfs -o size=1m tmpfs '" + volume + "'"), 0);
  const std::string report = volume + "/tarnvel.json";
  std::ostringstream out, err;
  std::istringstream in;
  const auto run = [&] {
    err.str("");
    return RunConsole({"--folder", root, "--yes", "--report", report},
                      ClientOnlyEnvironment(dir / "bin", out, err, in));
  };
  const int first = run();
  const std::string earlier = ReadFile(report);
  Shell("dd if=/dev/zero of='" + volume + "/filler' bs=4k");  // until the volume is full
  const int second = run();
  const std::string after = ReadFile(report);
  Shell("umount '" + volume + "'");

  ASSERT_EQ(first, 0) << err.str();
  ASSERT_EQ(earlier.rfind(kReportHead, 0), 0u);
  EXPECT_EQ(second, kReportNotWrittenExitCode);
  const std::size_t said = err.str().find("The report " + report + " could not be written.");
  ASSERT_NE(said, std::string::npos) << err.str();
  EXPECT_LT(said, err.str().find("succeeded (exit code 6)")) << err.str();
  EXPECT_EQ(after, earlier);
}

}  // namespace
}  // namespace tarnvel::console
