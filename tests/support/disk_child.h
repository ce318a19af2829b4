#pragma once
// The child program of the disk and process tests (tests/sysroutines/child)
// and a file held open by it.

#include <string>

#include "sysroutines/child_process.h"

namespace tarnvel::testing {

/// Full path of the child program (built beside test_sysroutines).
std::string TestChildPath();

/// Starts the child (or a copy of it at Program) with its working folder
/// WorkingFolder, holding File open until destruction (then it is told to end
/// and waited for).
class HeldFile {
 public:
  HeldFile(const std::string& file, const std::string& workingFolder, const std::string& program = TestChildPath());
  ~HeldFile();
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;
  bool IsHeld() const { return held_; }

 private:
  std::string file_;
  sys::ChildProcess child_;
  bool started_ = false;
  bool held_ = false;
};

}  // namespace tarnvel::testing
