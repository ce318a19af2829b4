// --report never writes where it could destroy something: not inside the
// product (however the path reaches it), not over a file that is not one of
// its own reports, never through a link, never into a folder that is not
// there. A report that cannot be written, also because something came to
// stand in its place during the run, changes the exit code and is said
// before the outcome line.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
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

  int Run(const std::string& report, std::function<void(const std::string&)> onEntry = nullptr) {
    err_.str("");
    ConsoleEnvironment env = ClientOnlyEnvironment(dir_ / "bin", out_, err_, in_);
    env.onEntry = std::move(onEntry);
    return RunConsole({"--folder", root_, "--yes", "--report", report}, std::move(env));
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
  const bool windows = sys::kPathDelimiter == '\\';
  const struct {
    const char* name;
    std::string path;
    std::function<bool()> make;  // false: this system cannot make it here
  } cases[] = {
      {"the client", Child(Child(root_, "Program"), "TarnVel.exe"), nullptr},
      {"a new file in the product", Child(root_, "report.json"), nullptr},
      {"a way into the product through ..", dir_ / "a-folder" + sep + ".." + sep + "TarnVel" + sep + "r.json",
       nullptr},
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
      {"a new name through a link to the product", dir_ / "tv" + sep + "r.json",
       [&] {
         std::error_code error;
         fs::create_directory_symlink(sys::PathFromUtf8(root_), sys::PathFromUtf8(dir_ / "tv"), error);
         return !error;
       }},
      // Linux takes "prog/.." as the parent of what prog leads to; Windows
      // takes ".." by name, which leads beside the link, out of the product.
      {"a link, then .., into the product", dir_ / "prog" + sep + ".." + sep + "r.json",
       [&] {
         std::error_code error;
         if (!windows) {
           fs::create_directory_symlink(sys::PathFromUtf8(Child(root_, "Program")),
                                        sys::PathFromUtf8(dir_ / "prog"), error);
         }
         return !windows && !error;
       }},
      {"the product's lock-test name", root_ + "_", nullptr},
      {"a folder that does not exist", Child(dir_ / "missing", "report.json"), nullptr},
      {"a stream of another file (Windows)", outside + ":report", [&] { return windows; }},
  };
  const auto product = TreeContents(root_);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.make && !c.make()) {
      std::cout << "This system cannot make it here: \"" << c.name << "\" was not run.\n";
      continue;
    }
    EXPECT_EQ(Run(c.path), 64) << err_.str();
    EXPECT_NE(err_.str().find("report"), std::string::npos) << err_.str();
    EXPECT_EQ(TreeContents(root_), product);
    EXPECT_EQ(ReadFile(sys::PathFromUtf8(outside)), "the operator's notes");
  }
  EXPECT_EQ(out_.str(), "") << "a refused run logged";
  EXPECT_FALSE(fs::exists(dir_.path() / "bin" / "Logs")) << "a refused run started up";
  EXPECT_FALSE(fs::exists(sys::PathFromUtf8(root_ + "_")));
  EXPECT_FALSE(fs::exists(dir_.path() / "missing"));
}

TEST_F(ConsoleReportPath, AReportOfOursIsReplacedAndOneThatCannotBeWrittenChangesTheExitCode) {
  const std::string report = dir_ / "report.json";
  ASSERT_EQ(Run(report), 0) << err_.str();
  const std::string first = ReadFile(sys::PathFromUtf8(report));
  ASSERT_EQ(first.rfind(kReportHead, 0), 0u);
  EXPECT_EQ(Run(report), 0) << "a report of ours is replaced: " << err_.str();
  EXPECT_NE(ReadFile(sys::PathFromUtf8(report)), first);

  // During the run the operator saves a file of theirs where the report
  // goes: the run itself succeeds, the report is not written over it.
  const std::string taken = dir_ / "notes.json";
  const int code = Run(taken, [&](const std::string&) {
    if (!fs::exists(sys::PathFromUtf8(taken))) WriteFile(sys::PathFromUtf8(taken), "the operator's notes");
  });
  EXPECT_EQ(code, kReportNotWrittenExitCode);
  const std::string err = err_.str();
  const std::size_t said = err.find("The report " + taken + " could not be written");
  ASSERT_NE(said, std::string::npos) << err;
  EXPECT_LT(said, err.find("succeeded (exit code " + std::to_string(kReportNotWrittenExitCode) + ")"))
      << "the outcome line came first";
  EXPECT_EQ(ReadFile(sys::PathFromUtf8(taken)), "the operator's notes");
  std::vector<std::string> beside;
  for (const auto& entry : fs::directory_iterator(dir_.path()))
    beside.push_back(sys::PathToUtf8(entry.path().filename()));
  std::sort(beside.begin(), beside.end());
  EXPECT_EQ(beside, (std::vector<std::string>{"TarnVel", "bin", "notes.json", "report.json"}))
      << "a file was left";
}

}  // namespace
}  // namespace tarnvel::console
