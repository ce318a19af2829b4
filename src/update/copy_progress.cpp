#include "update/copy_progress.h"

#include <utility>

namespace tarnvel {

CopyProgressReporter::CopyProgressReporter(IUpdateHost& host, std::string source, std::string target,
                                           Clock clock)
    : host_(host), clock_(std::move(clock)) {
  progress_.source = std::move(source);
  progress_.target = std::move(target);
}

void CopyProgressReporter::operator()(std::uint64_t done, std::uint64_t total) {
  const auto now = clock_();
  const bool finished = done >= total;
  if (reported_ && !finished && now - last_ < kInterval) return;
  reported_ = true;
  last_ = now;
  progress_.bytesDone = done;
  progress_.bytesTotal = total;
  host_.ShowCopyProgress(progress_);
}

}  // namespace tarnvel
