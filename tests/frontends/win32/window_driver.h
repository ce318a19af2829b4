#pragma once
// Operates another program's windows as an operator would: starts the
// program, finds its window and its boxes, reads controls, clicks, types keys
// and takes screenshots. Made for tests that run under Wine on a prepared
// display (Xvfb plus Wine's virtual desktop, see scripts/wine-display.sh).
//
// Every action that could open a modal loop in the other program is posted,
// never sent, so the caller never blocks inside a box it opened itself. Reads
// are sent with a timeout, so a hung program cannot hang the test.
//
// Measured under Wine 8.0 (x86_64, Xvfb, virtual desktop 1024x768), each
// operation below 10 runs in a row, every one worked every time (10/10 or
// 30/30) except the menu check noted at ChooseMenuItem:
// - Message boxes, task dialogs and the shell folder browser are all visible
//   top-level windows of class "#32770"; the window that opened one is
//   disabled while it is up. Found 20-25 ms after the click (the browser
//   170-190 ms); the main window 250-310 ms after the start.
// - A posted click or key has taken effect (box gone, answer in the
//   program) within 20-45 ms.
// - Focus: MessageBoxW(MB_YESNO | MB_DEFBUTTON2) has IDNO focused; a task
//   dialog with nDefaultButton = IDCANCEL has that button focused.
// - Esc, posted to the box or to its focused control, closes a task dialog
//   with IDCANCEL (when a custom button has id IDCANCEL) and a MessageBoxW
//   with IDCANCEL even without a Cancel button (Windows ignores Esc there).
// - SHBrowseForFolderW: a "#32770" titled "Browse for Folder": the folder
//   tree is a SysTreeView32 with id 14145, the title text a static 14146,
//   OK is IDOK, Cancel IDCANCEL, "Make New Folder" 14150, the folder edit
//   14149 (visible only with BIF_EDITBOX). OK without a selection returns
//   the Desktop.
// - Match buttons by id, not by label. BM_CLICK also "clicks" a disabled
//   button, so Click() checks the state first. DM_GETDEFID is no use: it
//   reports IDOK whatever the default button is; ask FocusedControl().

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tarnvel::wintest {

// A program started for a test. The destructor ends it if it still runs.
class ChildProgram {
 public:
  using Environment = std::vector<std::pair<std::wstring, std::wstring>>;

  // commandLine holds the program (quoted if it has spaces) and its
  // arguments; extraEnvironment adds variables to this process's own or
  // replaces them. Throws std::runtime_error when the program cannot start,
  // or starts without a handle (under Wine: a Linux program).
  ChildProgram(const std::wstring& commandLine, const std::wstring& workingFolder,
               const Environment& extraEnvironment = {});
  ~ChildProgram();
  ChildProgram(const ChildProgram&) = delete;
  ChildProgram& operator=(const ChildProgram&) = delete;

  DWORD Pid() const { return pid_; }
  // The exit code once the program has ended within ms, else nothing.
  std::optional<DWORD> WaitForExit(DWORD ms);

 private:
  HANDLE process_ = nullptr;
  HANDLE thread_ = nullptr;
  DWORD pid_ = 0;
};

using WindowTest = std::function<bool(HWND)>;

// The class name of a window ("#32770" for dialog boxes).
std::wstring ClassOf(HWND window);

// A visible top-level window of the process that passes accept, or nullptr
// after timeoutMs.
HWND WaitForTopLevel(DWORD pid, const WindowTest& accept, DWORD timeoutMs);
// ... of that class.
HWND WaitForTopLevel(DWORD pid, const std::wstring& className, DWORD timeoutMs);
// ... that is not a dialog box: the program's main window.
HWND WaitForTopLevel(DWORD pid, DWORD timeoutMs);

// A visible, enabled top-level "#32770" window of the process other than
// notThis: the box that waits for an answer (a box that opened another box
// above it is disabled).
HWND WaitForDialog(DWORD pid, DWORD timeoutMs, HWND notThis = nullptr);

// The window text (WM_GETTEXT).
std::wstring TextOf(HWND window);
// The direct children, in z-order.
std::vector<HWND> Children(HWND parent);
// The first descendant with that control id, or nullptr.
HWND ChildById(HWND parent, int id);
// The first descendant of that class (empty: any class) with exactly that
// text, or nullptr.
HWND ChildByText(HWND parent, const std::wstring& className, const std::wstring& text);

// The message of a box.
// - MessageBoxW: the static with id 65535 (0xFFFF) holds the message; the
//   icon is a static with id 1088, the buttons carry IDYES, IDNO, ...
// - TaskDialogIndirect under Wine 8 (GetProcAddress finds it in comctl32
//   with or without the comctl32 v6 manifest that Windows needs): the dialog is a "#32770" whose direct
//   children are, in order, a static with the main instruction (only when given), a static with the content
//   (line breaks kept), then one button per custom button with its own id. The statics all have id 0, so the
//   message is the texts of the non-icon statics, joined by a blank line.
// On Windows itself a task dialog draws its texts in one DirectUIHWND child
// that WM_GETTEXT cannot read: there this answers only for message boxes.
std::wstring DialogText(HWND box);

// The control that has the keyboard focus in the thread that owns window.
HWND FocusedControl(HWND window);

// Posts BM_CLICK; false (and no click) when the button is disabled or
// hidden.
bool Click(HWND button);
// Posts WM_KEYDOWN and WM_KEYUP of vk to target. A dialog box's own keys
// (Esc, Enter, Tab) reach its modal loop when target is the box or any
// control in it; for a control's own keys target the control.
void PressKey(HWND target, UINT vk);
// Posts WM_COMMAND as choosing the menu item does; false when the window
// has no menu, or its menu has no enabled item with that id. Under Wine the
// menu of another process cannot be read (GetMenuItemCount answers -1): the
// command is posted even for a grey item, so check a grey item's effect on
// the program (nothing happens) rather than this answer.
bool ChooseMenuItem(HWND window, UINT commandId);

// The window rectangle of a control in its parent's client coordinates.
RECT WindowRectInParentClient(HWND control);
SIZE ClientSize(HWND window);

// Saves the whole screen as PNG: runs ImageMagick's "import -window root",
// a Linux program that Wine starts directly (a 1024x768 shot takes 60-90
// ms). Works only under Wine on a display (DISPLAY is inherited); false when
// the picture was not written.
bool Screenshot(const std::wstring& pngPath);

// Polls condition every 20 ms until it holds (true) or timeoutMs passed.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

}  // namespace tarnvel::wintest
