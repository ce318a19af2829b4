// --report never writes where it could destroy something: not inside the
// product (however the path reaches it), not over a file that is not one of
// its own reports, never through a link. A report that cannot be written
// changes the exit code and is said before the outcome line.
#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <sstream>

#include "console/console_test_environment.h"
#include "driver/driver_fixture.h"
#include "frontends/console/console_outcome.h"
#include "frontends/console/console_report.h"
#include "frontends/console/console_run.h"
#include "sysroutines/paths.h"

namespace tarnvel::console {
namespace {

using namespace tarnvel::testing;
using testing::ClientOnlyEnvironment;
namespace fs = std::filesystem;

class ConsoleReportPath : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(dir_.path() / "bin");
    LayOutClientProduct(root_);
  }

  int Run(const std::string& report) {
    err_.str("");
    return RunConsole({"--folder", root_, "--yes", "--report", report},
                      ClientOnlyEnvironment(dir_ / "bin", out_, err_, in_));
  }

  TempDir dir_{"report-path"};
  std::string root_ = dir_ / "TarnVel";
  std::ostringstream out_, err_;
  std::istringstream in_;
};

TEST_F(ConsoleReportPath, APathThatIsNotForAReportIsRefusedBeforeAnythingRuns) {
  const std::string outside = dir_ / "outside.txt";
  WriteFile(sys::PathFromUtf8(outside), "the operator's notes");
  fs::create_directories(sys::PathFromUtf8(dir_ / "a-folder"));
  const std::string sep(1, sys::kPathDelimiter);
  const struct {
    const char* name;
    std::string path;
    std::function<bool()> make;  // false: this system cannot make it here
  } cases[] = {
      {"the client", Child(Child(root_, "Program"), "TarnVel.exe"), nullptr},
      {"a new file in the product", Child(root_, "report.json"), nullptr},
      {"a way into the product through ..", dir_ / "a-folder" + sep + ".." + sep + "TarnVel" + sep + "r.json", nullptr},
      {"another file", outside, nullptr},
      {"a folder", dir_ / "a-folder", nullptr},
      {"a link into the product", dir_ / "into.json",
       [&] {
         std::error_code error;
         fs::create_symlink(sys::PathFromUtf8(Child(Child(root_, "Program"), "TarnVel.ini")),
                            sys::PathFromUtf8(dir_ / "into.json"), error);
         return !error;
       }},
      {"a link to a file outside", dir_ / "link.json",
       [&] {
         std::error_code error;
         fs::create_symlink(sys::PathFromUtf8(outside), sys::PathFromUtf8(dir_ / "link.json"), error);
         return !error;
       }},
  };
  const auto product = TreeContents(root_);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.make && !c.make()) {
      std::cout << "This system makes no links here: \"" << c.name << "\" was not run.\n";
      continue;
    }
    EXPECT_EQ(Run(c.path), 64) << err_.str();
    EXPECT_NE(err_.str().find("report"), std::string::npos) << err_.str();
    EXPECT_EQ(TreeContents(root_), product);
    EXPECT_EQ(ReadFile(sys::PathFromUtf8(outside)), "the operator's notes");
  }
  EXPECT_EQ(out_.str(), "") << "a refused run logged";
}

TEST_F(ConsoleReportPath, AReportOfOursIsReplacedAndOneThatCannotBeWrittenChangesTheExitCode) {
  const std::string report = dir_ / "report.json";
  ASSERT_EQ(Run(report), 0) << err_.str();
  const std::string first = ReadFile(sys::PathFromUtf8(report));
  ASSERT_EQ(first.rfind(kReportHead, 0), 0u);
  EXPECT_EQ(Run(report), 0) << "a report of ours is replaced: " << err_.str();
  EXPECT_NE(ReadFile(sys::PathFromUtf8(report)), first);

  // Its folder does not exist: the run itself succeeds, the report cannot be written.
  const std::string nowhere = Child(dir_ / "missing", "report.json");
  EXPECT_EQ(Run(nowhere), kReportNotWrittenExitCode);
  const std::string err = err_.str();
  const std::size_t said = err.find("could not be written");
  ASSERT_NE(said, std::string::npos) << err;
  EXPECT_LT(said, err.find("succeeded (exit code")) << "the outcome line came first";
  EXPECT_FALSE(fs::exists(sys::PathFromUtf8(dir_ / "missing")));
}

}  // namespace
}  // namespace tarnvel::console
