#include "firebird/fresh_process.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "sysroutines/child_process.h"
#include "sysroutines/executable.h"
#include "sysroutines/paths.h"

namespace tarnvel::firebird::testing {
namespace {

const char* const kFreshProcessVariable = "TARNVEL_FRESH_PROCESS";

bool InFreshProcess() {
  const char* value = std::getenv(kFreshProcessVariable);
  return value != nullptr && std::string(value) == "1";
}

class FreshProcessCase : public ::testing::Test {
 public:
  explicit FreshProcessCase(std::function<void()> body) : body_(std::move(body)) {}
  void TestBody() override { body_(); }

 private:
  std::function<void()> body_;
};

std::string ReadWhole(const std::string& file) {
  std::ifstream in(sys::PathFromUtf8(file), std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

bool RegisterFreshProcessCase(const char* name, std::function<void()> body) {
  if (!InFreshProcess()) return false;
  ::testing::RegisterTest("FreshProcess", name, nullptr, nullptr, __FILE__, __LINE__,
                          [body]() -> ::testing::Test* { return new FreshProcessCase(body); });
  return true;
}

void RunInFreshProcess(const std::string& name) {
  // The child's report goes to a file: on Windows it runs in a console of
  // its own, whose output nobody reads.
  const std::string report =
      sys::IncludeTrailingPathDelimiter(sys::ExecutableDir()) + "fresh_process_" + name + ".json";
  std::error_code ignored;
  std::filesystem::remove(sys::PathFromUtf8(report), ignored);
  const std::string program = sys::ExecutablePath();
  sys::ChildProcess child;
  SetEnvironmentForChildren(kFreshProcessVariable, "1");
  const sys::SysResult started =
      child.Start(program + " --gtest_filter=FreshProcess." + name + " --gtest_output=json:" + report,
                  program, sys::ExecutableDir(), 0);
  SetEnvironmentForChildren(kFreshProcessVariable, nullptr);
  ASSERT_TRUE(started) << program;
  const std::uint32_t exitCode = child.Wait();
  const std::string text = ReadWhole(report);
  // A case that was skipped or not found would pass without having run.
  const bool ran = text.find("\"name\": \"" + name + "\"") != std::string::npos &&
                   text.find("\"result\": \"COMPLETED\"") != std::string::npos;
  EXPECT_TRUE(exitCode == 0 && ran) << "FreshProcess." << name << " exit code " << exitCode << "\n" << text;
}

}  // namespace tarnvel::firebird::testing
