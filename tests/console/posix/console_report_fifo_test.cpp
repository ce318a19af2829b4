// A named pipe given as the report neither blocks the program nor is taken
// for a report.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "frontends/console/console_report.h"
#include "support/temp_dir.h"

namespace tarnvel::console {
namespace {

TEST(ConsoleReportFifo, APipeIsNotAReport) {
  testing::TempDir dir("report-fifo");
  const std::string pipe = dir / "pipe.json";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_NE(ReportPathProblem(pipe, dir / "TarnVel"), "");
}

}  // namespace
}  // namespace tarnvel::console
