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

}  // namespace tarnvel
