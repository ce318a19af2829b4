#include "update/host.h"

#include <utility>

#include "i18n/ldm.h"

namespace tarnvel {

DialogButton MessageDlg(IUpdateHost& host, const std::string& text, DialogType type,
                        std::vector<DialogButton> buttons, DialogButton defaultButton) {
  static constexpr const char* kCaptions[] = {"Warning", "Error", "Information", "Confirm"};
  DialogRequest request;
  request.type = type;
  request.caption = i18n::LDM().DialogCaption(kCaptions[static_cast<int>(type)]);
  request.text = text;
  request.buttons = std::move(buttons);
  request.defaultButton = defaultButton;
  request.escapeButton = request.buttons.size() == 1 ? request.buttons.front() : DialogButton::No;
  return host.ShowDialog(request);
}

const char* DialogButtonCatalogueId(DialogButton button) {
  switch (button) {
    case DialogButton::Yes:
      return "Yes";
    case DialogButton::No:
      return "No";
    case DialogButton::Ok:
      return "OK";
    case DialogButton::Cancel:
      return "Cancel";
    case DialogButton::Abort:
      return "Abort";
    case DialogButton::Retry:
      return "Retry";
    case DialogButton::Ignore:
      return "Ignore";
    case DialogButton::All:
      return "All";
    case DialogButton::NoToAll:
      return "No To All";
    case DialogButton::YesToAll:
      return "Yes To All";
    case DialogButton::Help:
      break;
  }
  return "Help";
}

std::string DialogButtonLabel(DialogButton button) {
  return i18n::LDM().DialogCaption(DialogButtonCatalogueId(button));
}

}  // namespace tarnvel
