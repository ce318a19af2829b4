#pragma once
// A host for tests: records what the engine shows and answers its questions
// from a script, in order. A question the script does not expect fails the test.

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "update/host.h"

namespace tarnvel::testing {

class ScriptedHost : public IUpdateHost {
 public:
  /// Answers for the coming dialogs, in the order they will be asked.
  void Answer(DialogButton button) { answers_.push_back(button); }

  /// Runs Action right after the run-log entry Text is written (once, the
  /// first time): a fault injected at an exact point of a run.
  void OnEntry(const std::string& text, std::function<void()> action) { actions_[text] = std::move(action); }

  /// Runs for every dialog before it is answered (an operator acting while a
  /// box is open).
  std::function<void(const DialogRequest&)> onDialog;

  void SaveExceptionToLog(const std::string& text) override;
  void ProcessMessages() override { ++messagePasses; }
  DialogButton ShowDialog(const DialogRequest& request) override;
  void SetStatusCaption(const std::string& text) override { captions.push_back(text); }
  void SetRolledBack(bool rolledBack) override { rolledBack_ = rolledBack; }
  bool RolledBack() const override { return rolledBack_; }
  void ShowCopyProgress(const CopyProgress& progress) override { this->progress.push_back(progress); }

  /// When set, SaveExceptionToLog records the entry and then throws this text,
  /// as a log file that cannot be written does.
  std::string logFailure;

  std::vector<std::string> entries;
  std::vector<DialogRequest> dialogs;
  std::vector<std::string> captions;
  std::vector<CopyProgress> progress;
  int messagePasses = 0;

 private:
  std::deque<DialogButton> answers_;
  std::map<std::string, std::function<void()>> actions_;
  bool rolledBack_ = false;
};

}  // namespace tarnvel::testing
