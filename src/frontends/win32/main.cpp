// Updater_TarnVel on Windows: the window.
#include <windows.h>
// windows.h first: the headers below build on it.
#include <commctrl.h>
#include <objbase.h>

#include "app/startup.h"
#include "frontends/win32/front_end.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof controls,
                                ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES | ICC_ANIMATE_CLASS};
  InitCommonControlsEx(&controls);
  // The shell's folder browser wants a single-threaded apartment.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  int code = 0;
  {
    tarnvel::win32::FrontEnd frontEnd(instance);
    code = tarnvel::RunStartup(frontEnd);
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return code;
}
