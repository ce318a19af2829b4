#pragma once
// The console's host for the engine: run-log entries go to the log file and
// standard output and are kept for the report; message boxes are answered by
// the run's answer mode; copy progress goes to standard error.

#include <chrono>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "app/main_view.h"
#include "frontends/console/console_answers.h"
#include "frontends/console/console_report.h"
#include "update/host.h"

namespace tarnvel::console {

struct ConsoleStreams {
  std::ostream& out;  ///< the run log
  std::ostream& err;  ///< boxes, status, progress, failures
  std::istream& in;   ///< answers typed on a terminal
  bool errIsTerminal = false;
};

class ConsoleHost : public IUpdateHost {
 public:
  using LogWriter = std::function<void(const std::string& text)>;

  ConsoleHost(LogWriter writeLog, AnswerMode mode, ConsoleStreams streams);

  /// How the operator starts this program, for the console commands named
  /// after boxes that send the operator to a menu item.
  void SetProgramName(std::string name) { programName_ = std::move(name); }

  /// Called after each entry is logged (tests inject faults at exact entries).
  void SetEntryHook(std::function<void(const std::string& text)> hook) { entryHook_ = std::move(hook); }

  void SaveExceptionToLog(const std::string& text) override;
  void ProcessMessages() override {}
  DialogButton ShowDialog(const DialogRequest& request) override;
  void SetStatusCaption(const std::string& text) override;
  void SetRolledBack(bool rolledBack) override { rolledBack_ = rolledBack; }
  bool RolledBack() const override { return rolledBack_; }
  void ShowCopyProgress(const CopyProgress& progress) override;

  const std::vector<ReportEntry>& Entries() const { return entries_; }
  double SecondsSinceStart() const;

 private:
  void CloseProgressBar();

  LogWriter writeLog_;
  AnswerMode mode_;
  ConsoleStreams streams_;
  std::function<void(const std::string&)> entryHook_;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::vector<ReportEntry> entries_;
  bool rolledBack_ = false;
  bool barOpen_ = false;
  int lastTenth_ = -1;
  std::string lastSource_;
  std::string programName_ = "Updater_TarnVel_console";
};

/// The window model the shared start-up drives, without a window: the run
/// log's lines go to standard output, boxes to the host; everything else
/// (captions, colours, pictures) has nothing to show on a console.
class ConsoleView : public IMainView {
 public:
  ConsoleView(std::ostream& out, IUpdateHost& host) : out_(out), host_(host) {}

  void SetCaption(const std::string&) override {}
  bool SetControlCaption(std::string_view, const std::string&) override { return true; }
  bool SetControlHint(std::string_view, const std::string&) override { return true; }
  std::string ProgramLocation() const override { return programLocation_; }
  void SetProgramLocation(const std::string& text) override { programLocation_ = text; }
  std::string Password() const override { return password_; }
  void SetPassword(const std::string& text) override { password_ = text; }
  std::string AdmnPassword() const override { return admnPassword_; }
  void SetAdmnPassword(const std::string& text) override { admnPassword_ = text; }
  void ApplyButtonFaceColours() override {}
  void AppendLogLine(const std::string& line) override;
  void SetStatusText(const std::string&) override {}
  void SetStatusColour(StatusColour) override {}
  void SetStatusVisible(bool) override {}
  void LoadPictures(std::string_view, std::string_view) override {}
  void ShowPicture(ResultPicture) override {}
  void SetPictureVisible(bool) override {}
  void SetAnimationRunning(bool) override {}
  void SetPanelsEnabled(bool) override {}
  void ProcessMessages() override {}
  DialogButton ShowDialog(const DialogRequest& request) override { return host_.ShowDialog(request); }
  std::optional<std::string> PickFolder(const std::string&, const std::string&) override {
    return std::nullopt;
  }
  void Close() override {}

 private:
  std::ostream& out_;
  IUpdateHost& host_;
  std::string programLocation_, password_, admnPassword_;
};

}  // namespace tarnvel::console
