// Where the registry file comes from on Linux: whatever the variable names,
// a folder, a FIFO without a writer, an endless device or a huge file must
// neither hang nor exhaust the program.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <stdexcept>

#include "support/temp_dir.h"
#include "sysroutines/registry.h"

namespace tarnvel::sys {
namespace {

const std::string kOwnKey = "SYSTEM\\CurrentControlSet\\Services\\NorvaskFireXBirdServer";
const std::string kRegistry = "Windows Registry Editor Version 5.00\r\n[HKEY_LOCAL_MACHINE\\" + kOwnKey +
                              "]\r\n\"ImagePath\"=\"x\"\r\n";

class RegistrySource : public ::testing::Test {
 protected:
  ~RegistrySource() override { unsetenv(kRegistryFileVariable); }
  void Use(const std::string& path) { setenv(kRegistryFileVariable, path.c_str(), 1); }
  testing::TempDir dir_{"registry-source"};
};

TEST_F(RegistrySource, WhatIsNoRegularFileIsNoRegistry) {
  const struct {
    const char* what;
    std::function<std::string(const testing::TempDir&)> make;
  } cases[] = {
      {"missing", [](const testing::TempDir& dir) { return dir / "missing.reg"; }},
      {"folder",
       [](const testing::TempDir& dir) {
         std::filesystem::create_directories(dir.path() / "folder.reg");
         return dir / "folder.reg";
       }},
      {"FIFO without a writer",
       [](const testing::TempDir& dir) {
         const std::string path = dir / "fifo.reg";
         EXPECT_EQ(mkfifo(path.c_str(), 0600), 0);
         return path;
       }},
      {"endless device", [](const testing::TempDir&) { return std::string("/dev/zero"); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Use(c.make(dir_));
    const auto registry = OpenMachineRegistry();
    EXPECT_FALSE(registry->KeyExists(kOwnKey, RegistryView::Default));
  }
}

TEST_F(RegistrySource, FileOverTheLimitIsRefusedAndOneAtTheLimitIsRead) {
  // Sparse files: the limit costs no disk space.
  const std::string atLimit = dir_ / "at-limit.reg";
  testing::WriteFile(atLimit, kRegistry);
  std::filesystem::resize_file(atLimit, kMaxRegistryFileSize);
  Use(atLimit);
  EXPECT_TRUE(OpenMachineRegistry()->KeyExists(kOwnKey, RegistryView::Default));

  const std::string overLimit = dir_ / "over-limit.reg";
  testing::WriteFile(overLimit, kRegistry);
  std::filesystem::resize_file(overLimit, kMaxRegistryFileSize + 1);
  Use(overLimit);
  try {
    OpenMachineRegistry();
    ADD_FAILURE() << "a file over the limit was read";
  } catch (const std::runtime_error& failure) {
    EXPECT_EQ(std::string(failure.what()), "The registry file " + overLimit + " is larger than 16 MiB.");
  }
}

}  // namespace
}  // namespace tarnvel::sys
