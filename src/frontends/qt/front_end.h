#pragma once
// Start-up's toolkit on Linux: Qt 6 Widgets.

#include <memory>

#include "app/startup.h"
#include "frontends/qt/main_window.h"

namespace tarnvel::qt {

class FrontEnd : public IFrontEnd {
 public:
  void SetApplicationTitle(const std::string& title) override;
  void ShowBox(const DialogRequest& request) override;
  IMainView& CreateMainWindow() override;
  /// Shows the window centred on the screen, runs its show handler and the
  /// message loop until it closes.
  void RunMessageLoop(TfrmMain& form) override;

  MainWindow* Window() const { return window_.get(); }

 private:
  std::unique_ptr<MainWindow> window_;
};

/// A style whose password boxes show "*" for every character.
void UseAsteriskPasswords();

}  // namespace tarnvel::qt
