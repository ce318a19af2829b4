#include "app/copy_progress_text.h"

#include <algorithm>
#include <cstdio>

namespace tarnvel {

std::string CopyProgressText(const CopyProgress& progress) {
  const std::uint64_t done = std::min(progress.bytesDone, progress.bytesTotal);
  // In floating point: done * 100 would overflow for the largest sizes.
  const double percent = progress.bytesTotal == 0
                             ? 100.0
                             : 100.0 * static_cast<double>(done) / static_cast<double>(progress.bytesTotal);
  constexpr double kMegabyte = 1024.0 * 1024.0;
  char text[96];
  std::snprintf(text, sizeof text, "%u%% (%.1f of %.1f MB)", static_cast<unsigned>(percent),
                static_cast<double>(done) / kMegabyte, static_cast<double>(progress.bytesTotal) / kMegabyte);
  return text;
}

}  // namespace tarnvel
