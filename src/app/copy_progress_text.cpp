#include "app/copy_progress_text.h"

#include <algorithm>
#include <cstdio>

#include "i18n/ldm.h"

namespace tarnvel {
namespace {

// One decimal place, with the language's decimal sign.
std::string Megabytes(std::uint64_t bytes, const std::string& decimalSign) {
  constexpr double kMegabyte = 1024.0 * 1024.0;
  char text[48];
  std::snprintf(text, sizeof text, "%.1f", static_cast<double>(bytes) / kMegabyte);
  std::string shown = text;
  const std::size_t point = shown.find('.');
  if (point != std::string::npos) shown.replace(point, 1, decimalSign);
  return shown;
}

}  // namespace

std::string CopyProgressText(const CopyProgress& progress) {
  const std::uint64_t done = std::min(progress.bytesDone, progress.bytesTotal);
  // In floating point: done * 100 would overflow for the largest sizes.
  const double percent = progress.bytesTotal == 0
                             ? 100.0
                             : 100.0 * static_cast<double>(done) / static_cast<double>(progress.bytesTotal);
  const std::string decimalSign = i18n::GetMessageText("uMain_CopyProgress_2");
  return i18n::GetMessageText("uMain_CopyProgress_1", std::to_string(static_cast<unsigned>(percent)),
                              Megabytes(done, decimalSign), Megabytes(progress.bytesTotal, decimalSign));
}

bool CopyEnded(const CopyProgress& progress) {
  return progress.bytesDone >= progress.bytesTotal;
}

}  // namespace tarnvel
