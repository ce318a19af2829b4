// A named pipe given as the report neither blocks the program nor is taken
// for a report.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "frontends/console/console_report_place.h"
#include "support/temp_dir.h"

namespace tarnvel::console {
namespace {

TEST(ConsoleReportFifo, APipeIsNotAReport) {
  testing::TempDir dir("report-fifo");
  const std::string pipe = dir / "pipe.json";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  const sys::ReportFilePlace place(pipe);
  EXPECT_NE(ReportPlaceProblem(place, ProductFolders(dir / "TarnVel")), "");
}

}  // namespace
}  // namespace tarnvel::console
