#pragma once
// Control and menu command identifiers of the Windows window. Tests find the
// controls of the running program by these numbers.

namespace tarnvel::win32 {

enum ControlId : int {
  kIdGbConnection = 1001,
  kIdLProgramLocation,
  kIdEProgramLocation,
  kIdBbProgramLocation,
  kIdLAdmnPassword,
  kIdEAdmnPassword,
  kIdLPassword,
  kIdLabel1,
  kIdEPassword,
  kIdGbLog,
  kIdMLog,
  kIdBevel1,
  kIdPBtn,
  kIdImage1,
  kIdAProgress,
  kIdMCaptions,
  kIdOKBtn,
  kIdCancelBtn,
};

enum MenuCommand : int {
  kCmdOnline = 2001,
  kCmdShutdown,
  kCmdStartService,
  kCmdStopService,
  kCmdCheck,
};

/// The window class of the main window.
inline constexpr wchar_t kMainWindowClass[] = L"TfrmMain";

}  // namespace tarnvel::win32
