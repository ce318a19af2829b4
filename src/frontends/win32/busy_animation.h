#pragma once
// The busy animation beside the status text: a computer searched with a
// magnifying glass, eight frames repeating. The system's own find-computer
// animation is not available everywhere (Wine has only a two-frame
// placeholder), so the window draws its own frames.

#include <windows.h>

namespace tarnvel::win32 {

/// The window class of the animation (registered once per process).
inline constexpr wchar_t kBusyAnimationClass[] = L"TarnVelBusyAnimation";
void RegisterBusyAnimationClass(HINSTANCE instance);

/// Starts at the first frame, or stops on the current one.
void StartBusyAnimation(HWND animation);
void StopBusyAnimation(HWND animation);

/// The frame shown now (0..7), for tests that watch it move.
int BusyAnimationFrame(HWND animation);

}  // namespace tarnvel::win32
