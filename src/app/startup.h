#pragma once
// The program's start-up, in its binding order: application title, the
// localisation module with its language and catalogue check, the main window
// (its texts in the active language, then its creation handler), the project
// profile and the input presets, then the message loop until the window closes.

#include "app/main_form.h"
#include "app/main_view.h"
#include "update/host.h"

namespace tarnvel {

/// What start-up needs from a toolkit.
class IFrontEnd {
 public:
  virtual ~IFrontEnd() = default;

  virtual void SetApplicationTitle(const std::string& title) = 0;
  /// A message box before there is a window (the catalogue's failures).
  virtual void ShowBox(const DialogRequest& request) = 0;
  /// Builds the main window with every control of the window model, not yet shown.
  virtual IMainView& CreateMainWindow() = 0;
  /// Connects the window's events to Form, shows the window (its show
  /// handler runs then) and runs the message loop until it closes.
  virtual void RunMessageLoop(TfrmMain& form) = 0;
};

/// Runs the program; returns its exit code (0, also after a failed start).
int RunStartup(IFrontEnd& frontEnd, FormEnvironment environment = {});

}  // namespace tarnvel
