#pragma once
// The shell's folder browser behind the folder button.

#include <windows.h>

#include <optional>
#include <string>

namespace tarnvel::win32 {

/// Opens the shell folder browser over Owner with Title, file-system folders
/// only, preselecting StartFolder when it is not empty. The chosen folder, or
/// nullopt when the operator cancelled or the browser could not open. The
/// program's other windows are disabled and the system's critical-error boxes
/// (drives without media) suppressed while it is open.
std::optional<std::string> ChooseFolder(HWND owner, const std::string& title, const std::string& startFolder);

}  // namespace tarnvel::win32
