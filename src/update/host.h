#pragma once
// The one narrow interface through which the engine talks to whatever shows it:
// the Qt window, the Win32 window, the console front end or a scripted test host.
// No toolkit type crosses it.

#include <exception>
#include <string>
#include <vector>

namespace tarnvel {

enum class DialogType { Warning, Error, Information, Confirmation };

enum class DialogButton { Yes, No, Ok, Cancel, Abort, Retry, Ignore, All, NoToAll, YesToAll, Help };

struct DialogRequest {
  DialogType type = DialogType::Information;
  std::string caption;
  std::string text;
  std::vector<DialogButton> buttons;
  DialogButton defaultButton = DialogButton::Ok;
};

class IUpdateHost {
 public:
  virtual ~IUpdateHost() = default;

  /// One run-log entry: the on-screen log and the log file. May throw when the
  /// log file cannot be written (the on-screen entry is made first).
  virtual void SaveExceptionToLog(const std::string& text) = 0;

  /// Lets pending window messages through (repaint, clicks on the menu).
  virtual void ProcessMessages() = 0;

  /// A modal message box; returns the button the operator chose.
  virtual DialogButton ShowDialog(const DialogRequest& request) = 0;

  /// Replaces the status text beside the buttons.
  virtual void SetStatusCaption(const std::string& text) = 0;

  /// The flag the update driver clears at the start of a run and sets when it
  /// rolls back; the result display reads it.
  virtual void SetRolledBack(bool rolledBack) = 0;
  virtual bool RolledBack() const = 0;
};

/// A typed message box with the catalogue's caption for its type ("Warning",
/// "Error", "Information", "Confirm").
DialogButton MessageDlg(IUpdateHost& host, const std::string& text, DialogType type,
                        std::vector<DialogButton> buttons, DialogButton defaultButton);

/// The exception that ends a run the operator declined: never logged or shown.
class SilentAbort : public std::exception {
 public:
  const char* what() const noexcept override { return ""; }
};

}  // namespace tarnvel
