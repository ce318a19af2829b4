#pragma once
// The typed message boxes of the program, as task dialogs: the icon of the
// box's type, the catalogue's caption and button labels, the focused button
// the caller names, and Esc (or the close box) giving the caller's Esc answer,
// which a plain MessageBox cannot do in a Yes/No box.

#include <windows.h>

#include <string>

#include "update/host.h"

namespace tarnvel::win32 {

/// Shows Request modally over Owner (none: over nothing) and returns the
/// chosen button.
DialogButton ShowMessageBox(HWND owner, const DialogRequest& request);

/// A box text with its line breaks (CR LF, a lone CR or LF) as CR LF.
std::wstring BoxText(const std::string& text);

}  // namespace tarnvel::win32
