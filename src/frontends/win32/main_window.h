#pragma once
// The main window on Windows: the controls of the window model at their
// places in pixels (96 dpi; scaled on screens of other densities), forwarding
// their events to the window's logic (TfrmMain).

#include <windows.h>

#include <string>

#include "app/main_form.h"
#include "app/main_view.h"
#include "frontends/win32/gdi_objects.h"

namespace tarnvel::win32 {

class MainWindow : public IMainView {
 public:
  /// Registers the window classes and creates the window with every control,
  /// hidden.
  explicit MainWindow(HINSTANCE instance);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  HWND Handle() const { return window_; }

  /// Connects the buttons, the menu and the close box to Form (none: they
  /// do nothing).
  void Connect(TfrmMain* form) { form_ = form; }

  /// Centres the window on the desktop's work area, shows it and gives Start
  /// the focus.
  void ShowCentred();

  /// Lets the dialog keys (Tab, arrows, mnemonics) work; true when Message
  /// was taken.
  bool TranslateDialogMessage(MSG& message);

  // IMainView
  void SetCaption(const std::string& text) override;
  bool SetControlCaption(std::string_view component, const std::string& text) override;
  bool SetControlHint(std::string_view component, const std::string& text) override;
  std::string ProgramLocation() const override;
  void SetProgramLocation(const std::string& text) override;
  std::string Password() const override;
  void SetPassword(const std::string& text) override;
  std::string AdmnPassword() const override;
  void SetAdmnPassword(const std::string& text) override;
  void ApplyButtonFaceColours() override;
  void AppendLogLine(const std::string& line) override;
  void SetStatusText(const std::string& text) override;
  void SetStatusColour(StatusColour colour) override;
  void SetStatusVisible(bool visible) override;
  void LoadPictures(std::string_view successBitmap, std::string_view errorsBitmap) override;
  void ShowPicture(ResultPicture picture) override;
  void SetPictureVisible(bool visible) override;
  void SetAnimationRunning(bool running) override;
  void SetPanelsEnabled(bool enabled) override;
  void ProcessMessages() override;
  DialogButton ShowDialog(const DialogRequest& request) override;
  std::optional<std::string> PickFolder(const std::string& title, const std::string& startFolder) override;
  void Close() override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                        DWORD_PTR data);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT ColourControl(HDC dc, HWND control);
  void DrawImage(const DRAWITEMSTRUCT& item);
  void OnCommand(int id, int code);

  void CreateControls();
  HWND Add(HWND parent, const wchar_t* cls, int id, DWORD style, int x, int y, int width, int height,
           DWORD exStyle = 0);
  int Px(int pixels) const;
  HWND Control(std::string_view component) const;
  /// The owner of a new box: the box already open, else the window.
  HWND BoxOwner() const;
  std::string TextOf(HWND control) const;

  HINSTANCE instance_;
  TfrmMain* form_ = nullptr;
  int dpi_ = 96;
  HWND window_ = nullptr;
  HMENU menuBar_ = nullptr;
  HMENU mmOperations = nullptr;
  HWND tooltip_ = nullptr;
  HWND gbConnection = nullptr, lProgramLocation = nullptr, eProgramLocation = nullptr,
       bbProgramLocation = nullptr, lAdmnPassword = nullptr, eAdmnPassword = nullptr, lPassword = nullptr,
       Label1 = nullptr, ePassword = nullptr, gbLog = nullptr, mLog = nullptr, Bevel1 = nullptr,
       pBtn = nullptr, Image1 = nullptr, aProgress = nullptr, mCaptions = nullptr, OKBtn = nullptr,
       CancelBtn = nullptr;
  Font font_, boldFont_, statusFont_;
  Brush MenuBrush;
  Bitmap SuccessPicture, ErrorsPicture;
  HBITMAP shownPicture_ = nullptr;
  COLORREF statusColour_ = RGB(128, 0, 0);
  HWND focusBeforeBusy_ = nullptr;
};

}  // namespace tarnvel::win32
