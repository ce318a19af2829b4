#include "frontends/console/console_host.h"

#include <iostream>

namespace tarnvel {

void ConsoleHost::SaveExceptionToLog(const std::string& text) { log_->SaveExceptionToLog(text); }

DialogButton ConsoleHost::ShowDialog(const DialogRequest& request) {
  std::cout << "[" << request.caption << "] " << request.text << "\n";
  return request.defaultButton;
}

void ConsoleHost::SetStatusCaption(const std::string& text) { std::cout << "* " << text << "\n"; }

}  // namespace tarnvel
