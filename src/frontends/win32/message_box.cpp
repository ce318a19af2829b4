#include "frontends/win32/message_box.h"

#include <algorithm>

#include <commctrl.h>

#include <vector>

#include "sysroutines/paths.h"

namespace tarnvel::win32 {
namespace {

// Button identifiers of the task dialog: the Esc answer takes IDCANCEL, the
// one identifier a task dialog returns for Esc and for its close box; the
// others are numbered from here.
constexpr int kFirstButtonId = 100;

using TaskDialogFunction = HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);

TaskDialogFunction TaskDialogEntry() {
  // Common controls 6 (the manifest asks for them) have task dialogs; looked
  // up at run time so that the program still starts where they are missing.
  HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
  if (comctl == nullptr) comctl = LoadLibraryW(L"comctl32.dll");
  if (comctl == nullptr) return nullptr;
  return reinterpret_cast<TaskDialogFunction>(
      reinterpret_cast<void*>(GetProcAddress(comctl, "TaskDialogIndirect")));
}

UINT MessageBoxIcon(DialogType type) {
  switch (type) {
    case DialogType::Warning:
      return MB_ICONWARNING;
    case DialogType::Error:
      return MB_ICONERROR;
    case DialogType::Confirmation:
      return MB_ICONQUESTION;
    case DialogType::Information:
      break;
  }
  return MB_ICONINFORMATION;
}

// Without task dialogs: a plain box. Only OK and Yes/No boxes occur; in the
// latter everything but Yes (Esc included, where the system allows it) is No.
DialogButton PlainMessageBox(HWND owner, const DialogRequest& request,
                             const std::vector<DialogButton>& buttons) {
  const std::wstring caption = sys::Utf8ToWide(request.caption);
  const std::wstring text = BoxText(request.text);
  const bool yesNo = buttons.size() == 2 && buttons[0] == DialogButton::Yes && buttons[1] == DialogButton::No;
  UINT style = MessageBoxIcon(request.type) | (yesNo ? MB_YESNO : MB_OK);
  if (yesNo && request.defaultButton == DialogButton::No) style |= MB_DEFBUTTON2;
  const int answer = MessageBoxW(owner, text.c_str(), caption.c_str(), style);
  if (!yesNo) return buttons.front();
  return answer == IDYES ? DialogButton::Yes : DialogButton::No;
}

// Centres a box over the main window it belongs to (the top of its chain
// of owners), kept on that window's monitor. Asked to place a task dialog
// relative to its window, Wine puts it at the window's top-left corner, over
// its title and menu.
void CentreOverOwner(HWND box, HWND owner) {
  HWND main = GetAncestor(owner, GA_ROOTOWNER);
  if (main == nullptr) main = owner;
  RECT boxRect{}, mainRect{};
  if (!GetWindowRect(box, &boxRect) || !GetWindowRect(main, &mainRect)) return;
  const int width = boxRect.right - boxRect.left;
  const int height = boxRect.bottom - boxRect.top;
  int left = mainRect.left + ((mainRect.right - mainRect.left) - width) / 2;
  int top = mainRect.top + ((mainRect.bottom - mainRect.top) - height) / 2;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (GetMonitorInfoW(MonitorFromWindow(main, MONITOR_DEFAULTTONEAREST), &monitor)) {
    const RECT& work = monitor.rcWork;
    left = std::max<int>(work.left, std::min<int>(left, work.right - width));
    top = std::max<int>(work.top, std::min<int>(top, work.bottom - height));
  }
  SetWindowPos(box, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HRESULT CALLBACK PlaceBox(HWND box, UINT notification, WPARAM, LPARAM, LONG_PTR owner) {
  if (notification == TDN_CREATED && owner != 0) CentreOverOwner(box, reinterpret_cast<HWND>(owner));
  return S_OK;
}

}  // namespace

std::wstring BoxText(const std::string& text) {
  std::wstring wide = sys::Utf8ToWide(text);
  std::wstring out;
  out.reserve(wide.size() + 8);
  for (std::size_t i = 0; i < wide.size(); ++i) {
    if (wide[i] == L'\r' || wide[i] == L'\n') {
      out += L"\r\n";
      if (wide[i] == L'\r' && i + 1 < wide.size() && wide[i + 1] == L'\n') ++i;
    } else {
      out += wide[i];
    }
  }
  return out;
}

DialogButton ShowMessageBox(HWND owner, const DialogRequest& request) {
  const std::vector<DialogButton> buttons =
      request.buttons.empty() ? std::vector<DialogButton>{DialogButton::Ok} : request.buttons;
  const TaskDialogFunction taskDialog = TaskDialogEntry();
  if (taskDialog == nullptr) return PlainMessageBox(owner, request, buttons);

  const std::wstring caption = sys::Utf8ToWide(request.caption);
  const std::wstring text = BoxText(request.text);
  std::vector<std::wstring> labels;
  std::vector<TASKDIALOG_BUTTON> taskButtons;
  std::vector<DialogButton> answerOf;  // by identifier - kFirstButtonId
  labels.reserve(buttons.size());
  int defaultId = 0;
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    labels.push_back(sys::Utf8ToWide(DialogButtonLabel(buttons[i])));
    const int id = buttons[i] == request.escapeButton ? IDCANCEL : kFirstButtonId + static_cast<int>(i);
    taskButtons.push_back(TASKDIALOG_BUTTON{id, labels.back().c_str()});
    if (buttons[i] == request.defaultButton) defaultId = id;
  }

  TASKDIALOGCONFIG config{};
  config.cbSize = sizeof config;
  config.hwndParent = owner;
  config.hInstance = GetModuleHandleW(nullptr);
  config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION;
  // Over the window once it is shown; before (a failure at start-up) in the
  // middle of the screen.
  if (owner != nullptr && IsWindowVisible(owner)) {
    config.dwFlags |= TDF_POSITION_RELATIVE_TO_WINDOW;
    config.pfCallback = &PlaceBox;
    config.lpCallbackData = reinterpret_cast<LONG_PTR>(owner);
  }
  config.pszWindowTitle = caption.c_str();
  config.pszContent = text.c_str();
  config.pButtons = taskButtons.data();
  config.cButtons = static_cast<UINT>(taskButtons.size());
  config.nDefaultButton = defaultId;
  switch (request.type) {
    case DialogType::Warning:
      config.pszMainIcon = TD_WARNING_ICON;
      break;
    case DialogType::Error:
      config.pszMainIcon = TD_ERROR_ICON;
      break;
    case DialogType::Information:
      config.pszMainIcon = TD_INFORMATION_ICON;
      break;
    case DialogType::Confirmation:
      // Task dialogs have no question icon of their own: the system's.
      config.dwFlags |= TDF_USE_HICON_MAIN;
      config.hMainIcon = LoadIconW(nullptr, IDI_QUESTION);
      break;
  }

  int chosen = 0;
  if (FAILED(taskDialog(&config, &chosen, nullptr, nullptr))) return PlainMessageBox(owner, request, buttons);
  if (chosen == IDCANCEL) return request.escapeButton;
  const int index = chosen - kFirstButtonId;
  if (index >= 0 && index < static_cast<int>(buttons.size())) return buttons[static_cast<std::size_t>(index)];
  return request.escapeButton;
}

}  // namespace tarnvel::win32
