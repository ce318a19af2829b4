#include "frontends/console/console_host.h"

#include "frontends/console/console_advice.h"

#include <algorithm>
#include <cstdio>
#include <iostream>

#include "app/copy_progress_text.h"
#include "sysroutines/local_time.h"

namespace tarnvel::console {
namespace {

constexpr int kBarWidth = 30;

}  // namespace

ConsoleHost::ConsoleHost(LogWriter writeLog, AnswerMode mode, ConsoleStreams streams)
    : writeLog_(std::move(writeLog)), mode_(mode), streams_(streams) {}

double ConsoleHost::SecondsSinceStart() const {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

void ConsoleHost::SaveExceptionToLog(const std::string& text) {
  CloseProgressBar();
  entries_.push_back({IsoTime(sys::CurrentLocalDateTime()), SecondsSinceStart(), text});
  writeLog_(text);
  if (entryHook_) entryHook_(text);
}

DialogButton ConsoleHost::ShowDialog(const DialogRequest& request) {
  CloseProgressBar();
  streams_.out.flush();
  const DialogButton answer = AnswerDialog(request, mode_, streams_.in, streams_.err);
  streams_.err << ConsoleCommandAdvice(request.text, programName_);
  return answer;
}

void ConsoleHost::SetStatusCaption(const std::string& text) {
  CloseProgressBar();
  streams_.err << "* " << text << "\n";
}

void ConsoleHost::CloseProgressBar() {
  if (!barOpen_) return;
  streams_.err << "\n";
  barOpen_ = false;
}

void ConsoleHost::ShowCopyProgress(const CopyProgress& progress) {
  const bool done = progress.bytesDone >= progress.bytesTotal;
  const int tenth =
      done ? 10 : static_cast<int>(progress.bytesDone * 10 / std::max<std::uint64_t>(progress.bytesTotal, 1));
  if (progress.source != lastSource_) {
    CloseProgressBar();
    lastSource_ = progress.source;
    lastTenth_ = -1;
  }
  if (streams_.errIsTerminal) {
    const std::uint64_t filled =
        done ? kBarWidth : progress.bytesDone * kBarWidth / std::max<std::uint64_t>(progress.bytesTotal, 1);
    streams_.err << "\r  [" << std::string(filled, '#') << std::string(kBarWidth - filled, '.') << "] "
                 << CopyProgressText(progress) << "   ";
    streams_.err.flush();
    barOpen_ = true;
    if (done) CloseProgressBar();
    return;
  }
  // Plain lines for a log: one per tenth of the copy.
  if (tenth == lastTenth_) return;
  lastTenth_ = tenth;
  streams_.err << "  copy " << progress.source << " -> " << progress.target << ": "
               << CopyProgressText(progress) << "\n";
}

void ConsoleView::AppendLogLine(const std::string& line) {
  out_ << line << "\n";
  out_.flush();
}

}  // namespace tarnvel::console
