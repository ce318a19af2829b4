#include "window_driver.h"

#include <cwctype>
#include <stdexcept>

namespace tarnvel::wintest {
namespace {

constexpr DWORD kPollMs = 20;
constexpr UINT kSendTimeoutMs = 5000;
constexpr wchar_t kDialogClass[] = L"#32770";

std::wstring Lower(std::wstring text) {
  for (auto& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

// This process's environment with extra variables added or replacing the
// ones of the same name (names compare case-insensitively, as Windows does).
std::wstring EnvironmentBlock(const ChildProgram::Environment& extra) {
  std::wstring block;
  if (wchar_t* own = GetEnvironmentStringsW()) {
    for (const wchar_t* entry = own; *entry != L'\0'; entry += wcslen(entry) + 1) {
      std::wstring text = entry;
      // Entries such as "=C:=C:\..." start with '=': their name is not empty.
      const auto equals = text.find(L'=', 1);
      const std::wstring name = Lower(text.substr(0, equals));
      bool replaced = false;
      for (const auto& [extraName, value] : extra) replaced = replaced || Lower(extraName) == name;
      if (!replaced) block += text + L'\0';
    }
    FreeEnvironmentStringsW(own);
  }
  for (const auto& [name, value] : extra) block += name + L'=' + value + L'\0';
  block += L'\0';
  return block;
}

BOOL CALLBACK Collect(HWND window, LPARAM into) {
  reinterpret_cast<std::vector<HWND>*>(into)->push_back(window);
  return TRUE;
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> windows;
  EnumWindows(Collect, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> windows;
  EnumChildWindows(parent, Collect, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

DWORD ProcessOf(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return pid;
}

}  // namespace

ChildProgram::ChildProgram(const std::wstring& commandLine, const std::wstring& workingFolder,
                           const Environment& extraEnvironment) {
  std::wstring mutableLine = commandLine;  // CreateProcessW may write into it
  std::wstring environment = EnvironmentBlock(extraEnvironment);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                      environment.data(), workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup,
                      &started)) {
    throw std::runtime_error("CreateProcessW failed with error " + std::to_string(GetLastError()));
  }
  if (started.hProcess == nullptr) {
    // Wine starts a Linux program this way but hands out no handle to it.
    if (started.hThread != nullptr) CloseHandle(started.hThread);
    throw std::runtime_error("CreateProcessW started a program without a process handle");
  }
  process_ = started.hProcess;
  thread_ = started.hThread;
  pid_ = started.dwProcessId;
}

ChildProgram::~ChildProgram() {
  if (process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, 10000);
  }
  if (thread_ != nullptr) CloseHandle(thread_);
  if (process_ != nullptr) CloseHandle(process_);
}

std::optional<DWORD> ChildProgram::WaitForExit(DWORD ms) {
  if (WaitForSingleObject(process_, ms) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  if (!GetExitCodeProcess(process_, &code)) return std::nullopt;
  return code;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = L"";
  GetClassNameW(window, name, 256);
  return name;
}

HWND WaitForTopLevel(DWORD pid, const WindowTest& accept, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        for (HWND window : TopLevelWindows()) {
          if (ProcessOf(window) == pid && IsWindowVisible(window) && accept(window)) {
            found = window;
            return true;
          }
        }
        return false;
      },
      timeoutMs);
  return found;
}

HWND WaitForTopLevel(DWORD pid, const std::wstring& className, DWORD timeoutMs) {
  return WaitForTopLevel(
      pid, [&](HWND window) { return ClassOf(window) == className; }, timeoutMs);
}

HWND WaitForTopLevel(DWORD pid, DWORD timeoutMs) {
  return WaitForTopLevel(
      pid, [](HWND window) { return ClassOf(window) != kDialogClass; }, timeoutMs);
}

HWND WaitForDialog(DWORD pid, DWORD timeoutMs, HWND notThis) {
  return WaitForTopLevel(
      pid,
      [&](HWND window) {
        return window != notThis && IsWindowEnabled(window) && ClassOf(window) == kDialogClass;
      },
      timeoutMs);
}

std::wstring TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &length)) {
    return {};
  }
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                           SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied)) {
    return {};
  }
  text.resize(copied < text.size() ? copied : text.size() - 1);
  return text;
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

HWND ChildById(HWND parent, int id) {
  for (HWND child : Descendants(parent)) {
    if (GetDlgCtrlID(child) == id) return child;
  }
  return nullptr;
}

HWND ChildByText(HWND parent, const std::wstring& className, const std::wstring& text) {
  for (HWND child : Descendants(parent)) {
    if ((className.empty() || ClassOf(child) == className) && TextOf(child) == text) return child;
  }
  return nullptr;
}

std::wstring DialogText(HWND box) {
  constexpr int kMessageBoxTextId = 0xFFFF;
  if (HWND message = ChildById(box, kMessageBoxTextId)) return TextOf(message);
  std::wstring text;
  for (HWND child : Children(box)) {
    if (ClassOf(child) != L"Static" || (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) continue;
    const std::wstring part = TextOf(child);
    if (part.empty()) continue;
    if (!text.empty()) text += L"\n\n";
    text += part;
  }
  return text;
}

HWND FocusedControl(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

bool Click(HWND button) {
  if (!IsWindowVisible(button) || !IsWindowEnabled(button)) return false;
  return PostMessageW(button, BM_CLICK, 0, 0) != FALSE;
}

void PressKey(HWND target, UINT vk) {
  const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16;
  PostMessageW(target, WM_KEYDOWN, vk, 1 | scan);
  PostMessageW(target, WM_KEYUP, vk, 1 | scan | (LPARAM{1} << 30) | (LPARAM{1} << 31));
}

bool ChooseMenuItem(HWND window, UINT commandId) {
  const HMENU menu = GetMenu(window);
  if (menu == nullptr) return false;
  // Wine keeps menus inside their process: there GetMenuItemCount answers -1
  // and the item's state cannot be read, so the command goes out unchecked.
  if (GetMenuItemCount(menu) >= 0) {
    const UINT state = GetMenuState(menu, commandId, MF_BYCOMMAND);
    if (state == static_cast<UINT>(-1) || (state & (MF_DISABLED | MF_GRAYED)) != 0) return false;
  }
  return PostMessageW(window, WM_COMMAND, MAKEWPARAM(commandId, 0), 0) != FALSE;
}

RECT WindowRectInParentClient(HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(HWND_DESKTOP, GetAncestor(control, GA_PARENT), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

SIZE ClientSize(HWND window) {
  RECT rect{};
  GetClientRect(window, &rect);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

bool Screenshot(const std::wstring& pngPath) {
  // Wine's own export: the Linux name of a Windows path (HeapFree the result).
  using UnixName = char*(CDECL*)(const wchar_t*);
  const auto unixName = reinterpret_cast<UnixName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (unixName == nullptr || pngPath.empty() || GetEnvironmentVariableW(L"DISPLAY", nullptr, 0) == 0)
    return false;
  char* target = unixName(pngPath.c_str());
  if (target == nullptr) return false;
  // Wine hands the command line to the Linux program in UTF-8, as the name is.
  std::wstring unixPath(MultiByteToWideChar(CP_UTF8, 0, target, -1, nullptr, 0), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, target, -1, unixPath.data(), static_cast<int>(unixPath.size()));
  HeapFree(GetProcessHeap(), 0, target);
  unixPath.resize(unixPath.empty() ? 0 : unixPath.size() - 1);
  if (unixPath.find(L'"') != std::wstring::npos) return false;

  // Wine starts a Linux program but gives no handle to wait on: the picture
  // is written under another name and renamed when complete, and the rename
  // is what this waits for. The path goes in as "$1", never into the script.
  std::wstring line =
      L"Z:\\bin\\sh -c \"import -window root png:\\\"$1.part\\\" && mv -f \\\"$1.part\\\" \\\"$1\\\"\" sh "
      L"\"" +
      unixPath + L'"';
  DeleteFileW(pngPath.c_str());
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &started)) {
    return false;
  }
  if (started.hThread != nullptr) CloseHandle(started.hThread);
  if (started.hProcess != nullptr) CloseHandle(started.hProcess);
  return WaitUntil([&] { return GetFileAttributesW(pngPath.c_str()) != INVALID_FILE_ATTRIBUTES; }, 30000);
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  while (!condition()) {
    if (GetTickCount64() >= end) return false;
    Sleep(kPollMs);
  }
  return true;
}

}  // namespace tarnvel::wintest
