#include "frontends/win32/front_end.h"

#include "frontends/win32/message_box.h"

namespace tarnvel::win32 {

void FrontEnd::ShowBox(const DialogRequest& request) {
  DialogRequest box = request;
  if (box.caption.empty()) box.caption = title_;
  ShowMessageBox(nullptr, box);
}

IMainView& FrontEnd::CreateMainWindow() {
  window_ = std::make_unique<MainWindow>(instance_);
  return *window_;
}

void FrontEnd::RunMessageLoop(TfrmMain& form) {
  window_->Connect(&form);
  window_->ShowCentred();
  form.Dispatch(&TfrmMain::FormShow);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (window_->TranslateDialogMessage(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  // The form goes before the window object: nothing may call into it now.
  window_->Connect(nullptr);
}

}  // namespace tarnvel::win32
