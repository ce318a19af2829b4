#include "support/disk_child.h"

#include <chrono>
#include <filesystem>
#include <thread>

#include "support/temp_dir.h"
#include "sysroutines/executable.h"
#include "sysroutines/paths.h"

namespace tarnvel::testing {

std::string TestChildPath() {
  const std::string d(1, sys::kPathDelimiter);
  const std::string name = sys::ExecutablePath().ends_with(".exe") ? "tarnvel_test_child.exe" : "tarnvel_test_child";
  return sys::ExecutableDir() + d + ".." + d + "sysroutines" + d + name;
}

HeldFile::HeldFile(const std::string& file, const std::string& workingFolder, const std::string& program)
    : file_(file) {
  const std::string child = sys::PathToUtf8(std::filesystem::weakly_canonical(sys::PathFromUtf8(program)));
  started_ = static_cast<bool>(child_.Start(child + " hold " + file, child, workingFolder, 0));
  if (!started_) return;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!std::filesystem::exists(sys::PathFromUtf8(file + ".held")) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  held_ = std::filesystem::exists(sys::PathFromUtf8(file + ".held"));
}

HeldFile::~HeldFile() {
  if (!started_) return;
  WriteFile(sys::PathFromUtf8(file_ + ".release"), "x");
  child_.Wait();
  std::error_code ignored;
  std::filesystem::remove(sys::PathFromUtf8(file_ + ".held"), ignored);
  std::filesystem::remove(sys::PathFromUtf8(file_ + ".release"), ignored);
}

}  // namespace tarnvel::testing
