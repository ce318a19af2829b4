#include "app/exception_report.h"

namespace tarnvel {

std::string ErrorBoxText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.')) {
    return message + ".";
  }
  return message;
}

void AEException(IUpdateHost& host, const std::string& applicationTitle, const std::string& message) {
  if (message.empty()) return;
  std::string text = ErrorBoxText(message);
  try {
    host.SaveExceptionToLog(message);
  } catch (const std::exception& logFailure) {
    // The operator must still learn what happened, and that it is not in the log.
    text += "\r\n\r\n" + ErrorBoxText(logFailure.what());
  }
  DialogRequest box;
  box.type = DialogType::Error;
  box.caption = applicationTitle;
  box.text = text;
  box.buttons = {DialogButton::Ok};
  box.defaultButton = DialogButton::Ok;
  host.ShowDialog(box);
}

void AEException(IUpdateHost& host, const std::string& applicationTitle, const std::exception& failure) {
  if (dynamic_cast<const SilentAbort*>(&failure) != nullptr) return;
  AEException(host, applicationTitle, std::string(failure.what()));
}

}  // namespace tarnvel
