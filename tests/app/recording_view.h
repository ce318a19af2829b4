#pragma once
// A window without a display for the window's logic: it keeps what the logic
// set, writes every call into a shared event list, and answers message boxes
// and the folder picker from a script.

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/main_view.h"

namespace tarnvel::testing {

class RecordingView : public IMainView {
 public:
  explicit RecordingView(std::vector<std::string>& events) : events_(events) {}

  void SetCaption(const std::string& text) override;
  bool SetControlCaption(std::string_view component, const std::string& text) override;
  bool SetControlHint(std::string_view component, const std::string& text) override;
  std::string ProgramLocation() const override { return programLocation; }
  void SetProgramLocation(const std::string& text) override;
  std::string Password() const override { return password; }
  void SetPassword(const std::string& text) override;
  std::string AdmnPassword() const override { return admnPassword; }
  void SetAdmnPassword(const std::string& text) override;
  void ApplyButtonFaceColours() override { events_.push_back("ApplyButtonFaceColours"); }
  void AppendLogLine(const std::string& line) override { logLines.push_back(line); }
  void SetStatusText(const std::string& text) override { statusText = text; }
  void SetStatusColour(StatusColour colour) override { statusColour = colour; }
  void SetStatusVisible(bool visible) override { statusVisible = visible; }
  void LoadPictures(std::string_view successBitmap, std::string_view errorsBitmap) override;
  void ShowPicture(ResultPicture shown) override { picture = shown; }
  void SetPictureVisible(bool visible) override { pictureVisible = visible; }
  void SetAnimationRunning(bool running) override { animationRunning = running; }
  void SetPanelsEnabled(bool enabled) override { panelsEnabled = enabled; }
  void ProcessMessages() override;
  DialogButton ShowDialog(const DialogRequest& request) override;
  std::optional<std::string> PickFolder(const std::string& title, const std::string& startFolder) override;
  void Close() override;

  /// The controls of the window model: others are refused.
  static bool HasControl(std::string_view component);

  std::string caption;
  std::map<std::string, std::string, std::less<>> captions, hints;
  std::string programLocation, password, admnPassword;
  std::vector<std::string> logLines;
  std::string statusText;
  std::optional<StatusColour> statusColour;
  bool statusVisible = false;
  std::string successBitmap, errorsBitmap;
  std::optional<ResultPicture> picture;
  bool pictureVisible = false;
  bool animationRunning = false;
  bool panelsEnabled = true;
  int closes = 0;
  int messagePasses = 0;

  /// Dialogs shown, and the answers for the coming ones (none left: the
  /// default button).
  std::vector<DialogRequest> dialogs;
  std::deque<DialogButton> answers;
  /// What the folder picker returns, and the start folder it was opened on.
  std::optional<std::string> pickResult;
  std::vector<std::string> pickStarts;
  /// Runs while pending messages are let through: the operator acting in
  /// the middle of a run.
  std::function<void()> onProcessMessages;

 private:
  std::vector<std::string>& events_;
};

}  // namespace tarnvel::testing
