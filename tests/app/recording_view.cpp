#include "app/recording_view.h"

#include <array>
#include <string_view>

namespace tarnvel::testing {

bool RecordingView::HasControl(std::string_view component) {
  static constexpr std::array<std::string_view, 25> kControls = {"gbConnection",
                                                                 "lProgramLocation",
                                                                 "eProgramLocation",
                                                                 "bbProgramLocation",
                                                                 "lAdmnPassword",
                                                                 "eAdmnPassword",
                                                                 "lPassword",
                                                                 "Label1",
                                                                 "ePassword",
                                                                 "gbLog",
                                                                 "mLog",
                                                                 "Bevel1",
                                                                 "pBtn",
                                                                 "Image1",
                                                                 "aProgress",
                                                                 "mCaptions",
                                                                 "OKBtn",
                                                                 "CancelBtn",
                                                                 "MainMenu1",
                                                                 "mmOperations",
                                                                 "mmOperations_Online",
                                                                 "mmOperations_Shutdown",
                                                                 "mmOperations_StartService",
                                                                 "mmOperations_StopService",
                                                                 "mmOperations_Check"};
  for (std::string_view name : kControls) {
    if (name == component) return true;
  }
  return false;
}

void RecordingView::SetCaption(const std::string& text) {
  caption = text;
  events_.push_back("SetCaption " + text);
}

bool RecordingView::SetControlCaption(std::string_view component, const std::string& text) {
  events_.push_back("SetControlCaption " + std::string(component));
  if (!HasControl(component)) return false;
  captions[std::string(component)] = text;
  return true;
}

bool RecordingView::SetControlHint(std::string_view component, const std::string& text) {
  if (!HasControl(component)) return false;
  hints[std::string(component)] = text;
  return true;
}

void RecordingView::SetProgramLocation(const std::string& text) {
  programLocation = text;
  events_.push_back("SetProgramLocation " + text);
}

void RecordingView::SetPassword(const std::string& text) {
  password = text;
  events_.push_back("SetPassword " + text);
}

void RecordingView::SetAdmnPassword(const std::string& text) {
  admnPassword = text;
  events_.push_back("SetAdmnPassword " + text);
}

void RecordingView::LoadPictures(std::string_view success, std::string_view errors) {
  successBitmap = success;
  errorsBitmap = errors;
  events_.push_back("LoadPictures");
}

void RecordingView::ProcessMessages() {
  ++messagePasses;
  if (!onProcessMessages) return;
  // One action per call, and none from inside itself.
  std::function<void()> action = std::move(onProcessMessages);
  onProcessMessages = nullptr;
  action();
}

DialogButton RecordingView::ShowDialog(const DialogRequest& request) {
  dialogs.push_back(request);
  events_.push_back("ShowDialog " + request.text);
  if (answers.empty()) return request.defaultButton;
  const DialogButton answer = answers.front();
  answers.pop_front();
  return answer;
}

std::optional<std::string> RecordingView::PickFolder(const std::string& title,
                                                     const std::string& startFolder) {
  events_.push_back("PickFolder " + title);
  pickStarts.push_back(startFolder);
  return pickResult;
}

void RecordingView::Close() {
  ++closes;
  events_.push_back("Close");
}

}  // namespace tarnvel::testing
