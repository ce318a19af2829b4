#pragma once
// The run log: every progress step, result and unhandled failure becomes one
// entry on screen and one record in the log file of this program start.

#include <functional>
#include <string>
#include <vector>

#include "sysroutines/local_time.h"

namespace tarnvel {

/// Folder of the executable + delimiter + "Logs" + delimiter +
/// DDMMYY-HHNNSS_Updater.log, every part with two digits.
std::string LogFileName(const std::string& exeDir, const sys::LocalDateTime& when);

/// Splits a text into lines at CR LF, at a lone CR and at a lone LF.
std::vector<std::string> SplitLines(const std::string& text);

class RunLog {
 public:
  using MemoSink = std::function<void(const std::string& line)>;
  using Clock = std::function<sys::LocalDateTime()>;

  /// A log writing to FileName and adding memo lines through Memo. The clock is
  /// real in the program and fixed in tests.
  RunLog(std::string fileName, MemoSink memo, Clock clock = sys::CurrentLocalDateTime);

  /// The log of this program start beside the executable: creates the Logs
  /// folder (with missing parents) and the file. A file of the same name (a
  /// second start within the same second) is kept and appended to, never
  /// truncated. Throws std::runtime_error when the file cannot be created.
  static RunLog BesideExecutable(const std::string& exeDir, MemoSink memo,
                                 Clock clock = sys::CurrentLocalDateTime);

  const std::string& FileName() const { return fileName_; }

  /// One entry: memo lines "date - time: first line" and TAB + each further
  /// line; file record CR + date + " - " + time + ": " + text + CR LF. The memo
  /// lines are added first; a file error then throws std::runtime_error.
  void SaveExceptionToLog(const std::string& text);

 private:
  std::string Stamp() const;

  std::string fileName_;
  MemoSink memo_;
  Clock clock_;
};

}  // namespace tarnvel
