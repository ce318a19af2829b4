#pragma once
// The one narrow interface through which the engine talks to whatever shows it:
// the Qt window, the Win32 window, the console front end or a scripted test host.
// No toolkit type crosses it.

#include <cstdint>
#include <exception>
#include <string>
#include <utility>
#include <vector>

namespace tarnvel {

enum class DialogType { Warning, Error, Information, Confirmation };

enum class DialogButton { Yes, No, Ok, Cancel, Abort, Retry, Ignore, All, NoToAll, YesToAll, Help };

struct DialogRequest {
  DialogType type = DialogType::Information;
  std::string caption;
  std::string text;
  std::vector<DialogButton> buttons;
  /// The button that has the focus when the box opens (Enter answers it).
  DialogButton defaultButton = DialogButton::Ok;
  /// The answer the Esc key gives: No in a box with a No button, else the
  /// box's only button.
  DialogButton escapeButton = DialogButton::Ok;
};

/// Progress of one long copy (the backup, the rollback): bytes of the copy
/// under way done so far and in all.
struct CopyProgress {
  std::string source;
  std::string target;
  std::uint64_t bytesDone = 0;
  std::uint64_t bytesTotal = 0;
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

  /// Progress of a long copy, at most about ten times a second; the run log
  /// never carries it. A host that shows no progress leaves it as it is.
  virtual void ShowCopyProgress(const CopyProgress& progress) { (void)progress; }
};

/// A typed message box with the catalogue's caption for its type ("Warning",
/// "Error", "Information", "Confirm"). Esc answers No where there is a No
/// button, else the only button.
DialogButton MessageDlg(IUpdateHost& host, const std::string& text, DialogType type,
                        std::vector<DialogButton> buttons, DialogButton defaultButton);

/// The catalogue identifier of a button's label in a message box ("Yes",
/// "No To All", ...), and that label in the active language.
const char* DialogButtonCatalogueId(DialogButton button);
std::string DialogButtonLabel(DialogButton button);

/// The exception that ends a run the operator declined: never logged or
/// shown, whatever text it carries.
class SilentAbort : public std::exception {
 public:
  SilentAbort() = default;
  explicit SilentAbort(std::string text) : text_(std::move(text)) {}
  const char* what() const noexcept override { return text_.c_str(); }

 private:
  std::string text_;
};

}  // namespace tarnvel
