#include "frontends/win32/main_window.h"

#include <commctrl.h>

#include <array>

#include "frontends/win32/busy_animation.h"
#include "frontends/win32/control_ids.h"
#include "frontends/win32/folder_chooser.h"
#include "frontends/win32/message_box.h"
#include "i18n/ldm.h"
#include "sysroutines/paths.h"

namespace tarnvel::win32 {
namespace {

constexpr wchar_t kPanelClass[] = L"TarnVelPanel";
constexpr int kClientWidth = 476;
constexpr int kClientHeight = 473;
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_BORDER | WS_CLIPSIBLINGS;
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT | WS_EX_WINDOWEDGE;

// The Russian columns of the catalogue are drawn with the Cyrillic character
// set, the others with the Western one.
BYTE CharacterSet() {
  return i18n::LDM().Sild.ActiveLanguage() <= 2 ? RUSSIAN_CHARSET : ANSI_CHARSET;
}

HFONT MakeFont(int height, bool bold, bool fixedPitch) {
  return CreateFontW(-height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, CharacterSet(),
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     fixedPitch ? FIXED_PITCH | FF_MODERN : DEFAULT_PITCH | FF_SWISS,
                     fixedPitch ? L"Courier New" : L"Microsoft Sans Serif");
}

void RegisterClasses(HINSTANCE instance, WNDPROC windowProc) {
  WNDCLASSEXW cls{};
  cls.cbSize = sizeof cls;
  cls.lpfnWndProc = windowProc;
  cls.hInstance = instance;
  cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  cls.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  if (cls.hIcon == nullptr) cls.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  cls.lpszClassName = kMainWindowClass;
  RegisterClassExW(&cls);

  WNDCLASSEXW panel{};
  panel.cbSize = sizeof panel;
  panel.lpfnWndProc = DefWindowProcW;
  panel.hInstance = instance;
  panel.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  panel.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  panel.lpszClassName = kPanelClass;
  RegisterClassExW(&panel);

  RegisterBusyAnimationClass(instance);
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance) : instance_(instance) {
  RegisterClasses(instance, &MainWindow::WindowProc);
  HDC screen = GetDC(nullptr);
  dpi_ = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  if (dpi_ <= 0) dpi_ = 96;
  font_.Reset(MakeFont(Px(11), false, false));
  boldFont_.Reset(MakeFont(Px(11), true, false));
  // One pixel smaller than the window's font: the longest status text (the
  // rollback's second line, 44 characters) fits the 280 pixels of the status
  // box in a fixed-pitch face, and both lines stay within its 32 pixels.
  statusFont_.Reset(MakeFont(Px(10), true, true));

  menuBar_ = CreateMenu();
  mmOperations = CreatePopupMenu();
  AppendMenuW(mmOperations, MF_STRING, kCmdOnline, L"mmOperations_Online");
  AppendMenuW(mmOperations, MF_STRING, kCmdShutdown, L"mmOperations_Shutdown");
  AppendMenuW(mmOperations, MF_STRING, kCmdStartService, L"mmOperations_StartService");
  AppendMenuW(mmOperations, MF_STRING, kCmdStopService, L"mmOperations_StopService");
  AppendMenuW(mmOperations, MF_STRING, kCmdCheck, L"mmOperations_Check");
  AppendMenuW(menuBar_, MF_POPUP, reinterpret_cast<UINT_PTR>(mmOperations), L"mmOperations");

  RECT frame{0, 0, Px(kClientWidth), Px(kClientHeight)};
  AdjustWindowRectEx(&frame, kWindowStyle, TRUE, kWindowExStyle);
  window_ = CreateWindowExW(kWindowExStyle, kMainWindowClass, L"Updater_TarnVel", kWindowStyle, CW_USEDEFAULT,
                            CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr,
                            menuBar_, instance, this);
  CreateControls();
}

MainWindow::~MainWindow() {
  if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
  // The menu went with the window; the brush that painted it goes now.
}

int MainWindow::Px(int pixels) const {
  return MulDiv(pixels, dpi_, 96);
}

HWND MainWindow::Add(HWND parent, const wchar_t* cls, int id, DWORD style, int x, int y, int width,
                     int height, DWORD exStyle) {
  HWND control =
      CreateWindowExW(exStyle, cls, L"", WS_CHILD | WS_VISIBLE | style, Px(x), Px(y), Px(width), Px(height),
                      parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
  return control;
}

void MainWindow::CreateControls() {
  // Creation order is the tab order: the button panel, the connection box,
  // the log; inside each, the order of the window model.
  pBtn = Add(window_, kPanelClass, kIdPBtn, WS_CLIPSIBLINGS, 0, 431, 476, 42, WS_EX_CONTROLPARENT);
  OKBtn = Add(pBtn, L"BUTTON", kIdOKBtn, WS_TABSTOP | BS_PUSHBUTTON, 332, 8, 68, 25);
  CancelBtn = Add(pBtn, L"BUTTON", kIdCancelBtn, WS_TABSTOP | BS_PUSHBUTTON, 404, 8, 68, 25);
  Image1 = Add(pBtn, L"STATIC", kIdImage1, SS_OWNERDRAW, 0, 0, 49, 42);
  ShowWindow(Image1, SW_HIDE);
  aProgress = Add(pBtn, kBusyAnimationClass, kIdAProgress, 0, 0, 0, 41, 41);
  ShowWindow(aProgress, SW_HIDE);
  mCaptions = Add(pBtn, L"EDIT", kIdMCaptions, WS_TABSTOP | ES_MULTILINE | ES_READONLY, 49, 5, 280, 32);
  SendMessageW(mCaptions, WM_SETFONT, reinterpret_cast<WPARAM>(statusFont_.Get()), FALSE);

  gbConnection = Add(window_, L"BUTTON", kIdGbConnection, BS_GROUPBOX, 0, 0, 476, 161, WS_EX_CONTROLPARENT);
  SendMessageW(gbConnection, WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_.Get()), FALSE);
  lProgramLocation = Add(gbConnection, L"STATIC", kIdLProgramLocation, SS_LEFT | SS_NOPREFIX, 8, 17, 0, 13);
  eProgramLocation = Add(gbConnection, L"EDIT", kIdEProgramLocation, WS_TABSTOP | ES_AUTOHSCROLL, 8, 32, 430,
                         21, WS_EX_CLIENTEDGE);
  bbProgramLocation =
      Add(gbConnection, L"BUTTON", kIdBbProgramLocation, WS_TABSTOP | BS_PUSHBUTTON, 443, 30, 24, 24);
  lAdmnPassword = Add(gbConnection, L"STATIC", kIdLAdmnPassword, SS_LEFT | SS_NOPREFIX, 8, 58, 0, 13);
  eAdmnPassword = Add(gbConnection, L"EDIT", kIdEAdmnPassword, WS_TABSTOP | ES_AUTOHSCROLL | ES_PASSWORD, 8,
                      73, 177, 21, WS_EX_CLIENTEDGE);
  lPassword = Add(gbConnection, L"STATIC", kIdLPassword, SS_LEFT | SS_NOPREFIX, 8, 99, 0, 13);
  Label1 = Add(gbConnection, L"STATIC", kIdLabel1, SS_LEFT | SS_NOPREFIX, 8, 111, 0, 13);
  ePassword = Add(gbConnection, L"EDIT", kIdEPassword, WS_TABSTOP | ES_AUTOHSCROLL | ES_PASSWORD, 8, 127, 177,
                  21, WS_EX_CLIENTEDGE);
  for (HWND box : {eAdmnPassword, ePassword}) SendMessageW(box, EM_SETPASSWORDCHAR, L'*', 0);

  gbLog = Add(window_, L"BUTTON", kIdGbLog, BS_GROUPBOX, 0, 161, 476, 264, WS_EX_CONTROLPARENT);
  SendMessageW(gbLog, WM_SETFONT, reinterpret_cast<WPARAM>(boldFont_.Get()), FALSE);
  // No ES_WANTRETURN: Enter is not taken as input.
  mLog =
      Add(gbLog, L"EDIT", kIdMLog,
          WS_TABSTOP | WS_HSCROLL | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL | ES_AUTOVSCROLL,
          2, 15, 472, 247, WS_EX_CLIENTEDGE);
  SendMessageW(mLog, EM_SETLIMITTEXT, 0, 0);

  Bevel1 = Add(window_, L"STATIC", kIdBevel1, SS_OWNERDRAW, 0, 425, 476, 6);

  // The containers pass their children's notifications on to the window.
  for (HWND container : {pBtn, gbConnection, gbLog})
    SetWindowSubclass(container, &MainWindow::ContainerProc, 1, reinterpret_cast<DWORD_PTR>(this));

  tooltip_ =
      CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, instance_, nullptr);
}

void MainWindow::ShowCentred() {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  RECT frame{};
  GetWindowRect(window_, &frame);
  // The menu bar's height is known once its texts are set: the client area
  // keeps its size whatever the bar takes.
  RECT client{};
  GetClientRect(window_, &client);
  const int width = frame.right - frame.left + Px(kClientWidth) - client.right;
  const int height = frame.bottom - frame.top + Px(kClientHeight) - client.bottom;
  const int left = work.left + (work.right - work.left - width) / 2;
  const int top = work.top + (work.bottom - work.top - height) / 2;
  SetWindowPos(window_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(window_, SW_SHOWNORMAL);
  UpdateWindow(window_);
  SetFocus(OKBtn);
}

bool MainWindow::TranslateDialogMessage(MSG& message) {
  return window_ != nullptr && IsWindow(window_) && IsDialogMessageW(window_, &message);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  return self->HandleMessage(message, wParam, lParam);
}

LRESULT CALLBACK MainWindow::ContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR data) {
  auto* self = reinterpret_cast<MainWindow*>(data);
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
      return self->HandleMessage(message, wParam, lParam);
    case WM_NCHITTEST:
      // A group box lets clicks through to what lies below it; its
      // children must get them.
      return HTCLIENT;
    default:
      return DefSubclassProc(window, message, wParam, lParam);
  }
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_CTLCOLOREDIT:
      // The input boxes keep the system's colours.
      return DefWindowProcW(window_, message, wParam, lParam);
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return ColourControl(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item.hwndItem == Image1) {
        DrawImage(item);
      } else if (item.hwndItem == Bevel1) {
        RECT line = item.rcItem;
        FillRect(item.hDC, &line, GetSysColorBrush(COLOR_BTNFACE));
        DrawEdge(item.hDC, &line, EDGE_ETCHED, BF_BOTTOM);
      }
      return TRUE;
    }
    case WM_CLOSE:
      if (form_ != nullptr && !form_->FormCloseQuery()) return 0;
      DestroyWindow(window_);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
      window_ = nullptr;
      return 0;
    default:
      return DefWindowProcW(window_, message, wParam, lParam);
  }
}

void MainWindow::OnCommand(int id, int code) {
  if (form_ == nullptr) return;
  // Enter and Esc reach the window as IDOK and IDCANCEL: neither starts a
  // run nor ends the program by itself.
  void (TfrmMain::*handler)() = nullptr;
  switch (id) {
    case kIdOKBtn:
      if (code == BN_CLICKED) handler = &TfrmMain::OKBtnClick;
      break;
    case kIdCancelBtn:
      if (code == BN_CLICKED) handler = &TfrmMain::CancelBtnClick;
      break;
    case kIdBbProgramLocation:
      if (code == BN_CLICKED) handler = &TfrmMain::bbProgramLocationClick;
      break;
    case kCmdOnline:
      handler = &TfrmMain::mmOperations_OnlineClick;
      break;
    case kCmdShutdown:
      handler = &TfrmMain::mmOperations_ShutdownClick;
      break;
    case kCmdStartService:
      handler = &TfrmMain::mmOperations_StartServiceClick;
      break;
    case kCmdStopService:
      handler = &TfrmMain::mmOperations_StopServiceClick;
      break;
    case kCmdCheck:
      handler = &TfrmMain::mmOperations_CheckClick;
      break;
    default:
      break;
  }
  if (handler != nullptr) form_->Dispatch(handler);
}

LRESULT MainWindow::ColourControl(HDC dc, HWND control) {
  if (control == mLog) {
    // The run log reads black on white although the operator cannot type in it.
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
  }
  if (control == eProgramLocation || control == eAdmnPassword || control == ePassword) {
    // Disabled during a run: grey on the button face, as the system draws it.
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
  }
  if (control == mCaptions) {
    SetTextColor(dc, statusColour_);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
  }
  SetTextColor(dc, GetSysColor(IsWindowEnabled(control) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
  SetBkMode(dc, TRANSPARENT);
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

void MainWindow::DrawImage(const DRAWITEMSTRUCT& item) {
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
  DrawTransparentCentred(item.hDC, shownPicture_, item.rcItem);
}

HWND MainWindow::Control(std::string_view component) const {
  const std::array<std::pair<std::string_view, HWND>, 18> controls{{
      {"TfrmMain", window_},
      {"gbConnection", gbConnection},
      {"lProgramLocation", lProgramLocation},
      {"eProgramLocation", eProgramLocation},
      {"bbProgramLocation", bbProgramLocation},
      {"lAdmnPassword", lAdmnPassword},
      {"eAdmnPassword", eAdmnPassword},
      {"lPassword", lPassword},
      {"Label1", Label1},
      {"ePassword", ePassword},
      {"gbLog", gbLog},
      {"mLog", mLog},
      {"pBtn", pBtn},
      {"Image1", Image1},
      {"aProgress", aProgress},
      {"mCaptions", mCaptions},
      {"OKBtn", OKBtn},
      {"CancelBtn", CancelBtn},
  }};
  for (const auto& [name, control] : controls) {
    if (name == component) return control;
  }
  return nullptr;
}

std::string MainWindow::TextOf(HWND control) const {
  const int length = GetWindowTextLengthW(control);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int read = GetWindowTextW(control, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(read < 0 ? 0 : read));
  return sys::WideToUtf8(text);
}

void MainWindow::SetCaption(const std::string& text) {
  SetWindowTextW(window_, sys::Utf8ToWide(text).c_str());
}

bool MainWindow::SetControlCaption(std::string_view component, const std::string& text) {
  const std::wstring wide = sys::Utf8ToWide(text);
  const std::array<std::pair<std::string_view, int>, 5> items{
      {{"mmOperations_Online", kCmdOnline},
       {"mmOperations_Shutdown", kCmdShutdown},
       {"mmOperations_StartService", kCmdStartService},
       {"mmOperations_StopService", kCmdStopService},
       {"mmOperations_Check", kCmdCheck}}};
  for (const auto& [name, command] : items) {
    if (name == component) {
      ModifyMenuW(mmOperations, command, MF_BYCOMMAND | MF_STRING, command, wide.c_str());
      return true;
    }
  }
  if (component == "mmOperations") {
    ModifyMenuW(menuBar_, 0, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(mmOperations),
                wide.c_str());
    DrawMenuBar(window_);
    return true;
  }
  HWND control = Control(component);
  if (control == nullptr || control == window_ || control == mLog || control == mCaptions ||
      control == pBtn || control == Image1 || control == aProgress) {
    return false;
  }
  SetWindowTextW(control, wide.c_str());
  if (control == lProgramLocation || control == lAdmnPassword || control == lPassword || control == Label1) {
    // Labels take the width of their text.
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, font_.Get());
    SIZE extent{};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    SetWindowPos(control, nullptr, 0, 0, extent.cx, Px(13), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return true;
}

bool MainWindow::SetControlHint(std::string_view component, const std::string& text) {
  HWND control = Control(component);
  if (control == nullptr || tooltip_ == nullptr) return false;
  std::wstring wide = sys::Utf8ToWide(text);
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = wide.data();
  if (!SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)))
    SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  return true;
}

std::string MainWindow::ProgramLocation() const {
  return TextOf(eProgramLocation);
}
void MainWindow::SetProgramLocation(const std::string& text) {
  SetWindowTextW(eProgramLocation, sys::Utf8ToWide(text).c_str());
}
std::string MainWindow::Password() const {
  return TextOf(ePassword);
}
void MainWindow::SetPassword(const std::string& text) {
  SetWindowTextW(ePassword, sys::Utf8ToWide(text).c_str());
}
std::string MainWindow::AdmnPassword() const {
  return TextOf(eAdmnPassword);
}
void MainWindow::SetAdmnPassword(const std::string& text) {
  SetWindowTextW(eAdmnPassword, sys::Utf8ToWide(text).c_str());
}

void MainWindow::ApplyButtonFaceColours() {
  // The window, the boxes and the panel take the button face from their
  // classes and WM_CTLCOLOR*, the labels the window-text colour; what is
  // left is the menu bar with its drop-down menu.
  MenuBrush.Reset(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
  MENUINFO info{};
  info.cbSize = sizeof info;
  info.fMask = MIM_BACKGROUND;
  GetMenuInfo(menuBar_, &info);
  info.fMask = MIM_BACKGROUND | MIM_APPLYTOSUBMENUS;
  info.hbrBack = MenuBrush.Get();
  SetMenuInfo(menuBar_, &info);
  DrawMenuBar(window_);
  ShowWindow(lAdmnPassword, SW_SHOW);
  ShowWindow(eAdmnPassword, SW_SHOW);
  InvalidateRect(window_, nullptr, TRUE);
}

void MainWindow::AppendLogLine(const std::string& line) {
  const std::wstring text = (GetWindowTextLengthW(mLog) > 0 ? L"\r\n" : L"") + sys::Utf8ToWide(line);
  const int end = GetWindowTextLengthW(mLog);
  SendMessageW(mLog, EM_SETSEL, end, end);
  SendMessageW(mLog, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
  // The caret at the start of the new line: the log shows its last entry
  // from the beginning instead of scrolling to the end of a long line.
  const LRESULT lastLine = SendMessageW(mLog, EM_GETLINECOUNT, 0, 0) - 1;
  const LRESULT lineStart = SendMessageW(mLog, EM_LINEINDEX, lastLine, 0);
  SendMessageW(mLog, EM_SETSEL, lineStart, lineStart);
  SendMessageW(mLog, EM_SCROLLCARET, 0, 0);
}

void MainWindow::SetStatusText(const std::string& text) {
  SetWindowTextW(mCaptions, BoxText(text).c_str());
}

void MainWindow::SetStatusColour(StatusColour colour) {
  statusColour_ = colour == StatusColour::Green ? RGB(0, 128, 0) : RGB(128, 0, 0);
  InvalidateRect(mCaptions, nullptr, TRUE);
}

void MainWindow::SetStatusVisible(bool visible) {
  ShowWindow(mCaptions, visible ? SW_SHOW : SW_HIDE);
  if (visible) UpdateWindow(mCaptions);
}

void MainWindow::LoadPictures(std::string_view successBitmap, std::string_view errorsBitmap) {
  SuccessPicture = BitmapFromFile(successBitmap);
  ErrorsPicture = BitmapFromFile(errorsBitmap);
}

void MainWindow::ShowPicture(ResultPicture picture) {
  shownPicture_ = picture == ResultPicture::Success ? SuccessPicture.Get() : ErrorsPicture.Get();
  InvalidateRect(Image1, nullptr, TRUE);
}

void MainWindow::SetPictureVisible(bool visible) {
  ShowWindow(Image1, visible ? SW_SHOW : SW_HIDE);
}

void MainWindow::SetAnimationRunning(bool running) {
  if (running) {
    ShowWindow(aProgress, SW_SHOW);
    StartBusyAnimation(aProgress);
  } else {
    StopBusyAnimation(aProgress);
    ShowWindow(aProgress, SW_HIDE);
  }
}

void MainWindow::SetPanelsEnabled(bool enabled) {
  if (!enabled) focusBeforeBusy_ = GetFocus();
  // Each control greys itself; the status text stays enabled (and
  // read-only), since a disabled edit draws its text grey whatever colour
  // it was given.
  for (HWND control : {gbConnection, lProgramLocation, eProgramLocation, bbProgramLocation, lAdmnPassword,
                       eAdmnPassword, lPassword, Label1, ePassword, OKBtn, CancelBtn}) {
    EnableWindow(control, enabled ? TRUE : FALSE);
  }
  EnableWindow(pBtn, enabled ? TRUE : FALSE);
  // The control that had the focus gets it back; meanwhile the window keeps
  // it, so that the keyboard still reaches the menu.
  if (!enabled) {
    SetFocus(window_);
  } else if (focusBeforeBusy_ != nullptr && IsWindowEnabled(focusBeforeBusy_)) {
    SetFocus(focusBeforeBusy_);
  }
}

void MainWindow::ProcessMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // The main loop must still see it.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (TranslateDialogMessage(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

HWND MainWindow::BoxOwner() const {
  // A box opened while another one is open (a close request or a menu
  // command during a question) belongs to that one: owned by the window, it
  // would enable the window when it closes and leave the first box behind it.
  if (window_ == nullptr) return nullptr;
  HWND popup = GetLastActivePopup(window_);
  return popup != nullptr && IsWindowVisible(popup) && IsWindowEnabled(popup) ? popup : window_;
}

DialogButton MainWindow::ShowDialog(const DialogRequest& request) {
  return ShowMessageBox(BoxOwner(), request);
}

std::optional<std::string> MainWindow::PickFolder(const std::string& title, const std::string& startFolder) {
  return ChooseFolder(BoxOwner(), title, startFolder);
}

void MainWindow::Close() {
  if (window_ != nullptr) SendMessageW(window_, WM_CLOSE, 0, 0);
}

}  // namespace tarnvel::win32
