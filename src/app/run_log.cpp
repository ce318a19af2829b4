#include "app/run_log.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "sysroutines/paths.h"
#include "sysroutines/text_helpers.h"

namespace tarnvel {

std::string LogFileName(const std::string& exeDir, const sys::LocalDateTime& when) {
  using sys::TwoDigitString;
  return exeDir + sys::kPathDelimiter + "Logs" + sys::kPathDelimiter + TwoDigitString(when.day) +
         TwoDigitString(when.month) + TwoDigitString(when.year) + "-" + TwoDigitString(when.hour) +
         TwoDigitString(when.minute) + TwoDigitString(when.second) + "_Updater.log";
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(line);
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  lines.push_back(line);
  return lines;
}

RunLog::RunLog(std::string fileName, MemoSink memo, Clock clock)
    : fileName_(std::move(fileName)), memo_(std::move(memo)), clock_(std::move(clock)) {}

RunLog RunLog::BesideExecutable(const std::string& exeDir, MemoSink memo, Clock clock) {
  std::error_code ignored;  // a failure shows when the file is created below
  std::filesystem::create_directories(sys::PathFromUtf8(exeDir + sys::kPathDelimiter + "Logs"), ignored);
  std::string fileName = LogFileName(exeDir, clock());
  RunLog log(std::move(fileName), std::move(memo), std::move(clock));
  std::ofstream file(sys::PathFromUtf8(log.fileName_), std::ios::binary | std::ios::app);
  if (!file) throw std::runtime_error("Unable to create the log file " + log.fileName_);
  return log;
}

std::string RunLog::Stamp() const {
  const sys::LocalDateTime now = clock_();
  return sys::FormatShortDate(now) + " - " + sys::FormatLongTime(now) + ": ";
}

void RunLog::SaveExceptionToLog(const std::string& text) {
  const std::string record = "\r" + Stamp() + text + "\r\n";

  const std::vector<std::string> lines = SplitLines(text);
  memo_(Stamp() + lines.front());
  for (std::size_t i = 1; i < lines.size(); ++i) memo_("\t" + lines[i]);

  std::ofstream file(sys::PathFromUtf8(fileName_), std::ios::binary | std::ios::app);
  if (!file) throw std::runtime_error("Unable to open the log file " + fileName_);
  file.write(record.data(), static_cast<std::streamsize>(record.size()));
  file.close();
  if (!file) throw std::runtime_error("Unable to write the log file " + fileName_);
}

}  // namespace tarnvel
