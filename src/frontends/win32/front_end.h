#pragma once
// Start-up's toolkit on Windows: message boxes before the window, the main
// window and its message loop.

#include <memory>
#include <string>

#include "app/startup.h"
#include "frontends/win32/main_window.h"

namespace tarnvel::win32 {

class FrontEnd : public IFrontEnd {
 public:
  explicit FrontEnd(HINSTANCE instance) : instance_(instance) {}

  void SetApplicationTitle(const std::string& title) override { title_ = title; }
  void ShowBox(const DialogRequest& request) override;
  IMainView& CreateMainWindow() override;
  void RunMessageLoop(TfrmMain& form) override;

 private:
  HINSTANCE instance_;
  std::string title_;
  std::unique_ptr<MainWindow> window_;
};

}  // namespace tarnvel::win32
