#pragma once
// Progress of one long copy (the backup, the rollback) for whatever shows it:
// at most about ten reports a second however often the copy reports, and
// always the last one, so the display never stops short of the end.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "update/host.h"

namespace tarnvel {

class CopyProgressReporter {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  static constexpr std::chrono::milliseconds kInterval{100};

  CopyProgressReporter(
      IUpdateHost& host, std::string source, std::string target,
      Clock clock = [] { return std::chrono::steady_clock::now(); });

  /// The copy has done Done of Total bytes.
  void operator()(std::uint64_t done, std::uint64_t total);

 private:
  IUpdateHost& host_;
  CopyProgress progress_;
  Clock clock_;
  std::chrono::steady_clock::time_point last_{};
  bool reported_ = false;
};

}  // namespace tarnvel
