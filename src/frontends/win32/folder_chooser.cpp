#include "frontends/win32/folder_chooser.h"

#include <shlobj.h>

#include <vector>

#include "sysroutines/paths.h"

namespace tarnvel::win32 {
namespace {

int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM, LPARAM data) {
  if (message == BFFM_INITIALIZED && data != 0) {
    // The tree opens expanded to the start folder, which is selected.
    SendMessageW(window, BFFM_SETSELECTIONW, TRUE, data);
  }
  return 0;
}

// Disables the thread's other enabled top-level windows for as long as it lives.
class OtherWindowsDisabled {
 public:
  OtherWindowsDisabled() {
    EnumThreadWindows(GetCurrentThreadId(), &Collect, reinterpret_cast<LPARAM>(&disabled_));
    for (HWND window : disabled_) EnableWindow(window, FALSE);
  }
  ~OtherWindowsDisabled() {
    for (HWND window : disabled_) EnableWindow(window, TRUE);
  }
  OtherWindowsDisabled(const OtherWindowsDisabled&) = delete;
  OtherWindowsDisabled& operator=(const OtherWindowsDisabled&) = delete;

 private:
  static BOOL CALLBACK Collect(HWND window, LPARAM list) {
    if (IsWindowVisible(window) && IsWindowEnabled(window))
      reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
  }
  std::vector<HWND> disabled_;
};

class ErrorModeScope {
 public:
  ErrorModeScope() : previous_(SetErrorMode(SEM_FAILCRITICALERRORS)) {}
  ~ErrorModeScope() { SetErrorMode(previous_); }
  ErrorModeScope(const ErrorModeScope&) = delete;
  ErrorModeScope& operator=(const ErrorModeScope&) = delete;

 private:
  UINT previous_;
};

// Memory of the shell's allocator, given back to it at the end.
class ShellMemory {
 public:
  ShellMemory(IMalloc* allocator, void* block) : allocator_(allocator), block_(block) {}
  ~ShellMemory() {
    if (block_ != nullptr) allocator_->Free(block_);
  }
  ShellMemory(const ShellMemory&) = delete;
  ShellMemory& operator=(const ShellMemory&) = delete;
  void* Get() const { return block_; }

 private:
  IMalloc* allocator_;
  void* block_;
};

}  // namespace

std::optional<std::string> ChooseFolder(HWND owner, const std::string& title,
                                        const std::string& startFolder) {
  IMalloc* allocator = nullptr;
  if (FAILED(SHGetMalloc(&allocator)) || allocator == nullptr) return std::nullopt;
  std::optional<std::string> chosen;
  {
    ShellMemory display(allocator, allocator->Alloc(MAX_PATH * sizeof(wchar_t)));
    if (display.Get() == nullptr) {
      allocator->Release();
      return std::nullopt;
    }
    auto* displayName = static_cast<wchar_t*>(display.Get());
    displayName[0] = L'\0';
    const std::wstring wideTitle = sys::Utf8ToWide(title);
    const std::wstring wideStart = sys::Utf8ToWide(startFolder);

    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.pszDisplayName = displayName;
    info.lpszTitle = wideTitle.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    if (!wideStart.empty()) {
      info.lpfn = BrowseCallback;
      info.lParam = reinterpret_cast<LPARAM>(wideStart.c_str());
    }

    PIDLIST_ABSOLUTE item = nullptr;
    {
      OtherWindowsDisabled disabled;
      ErrorModeScope errorMode;
      item = SHBrowseForFolderW(&info);
    }
    if (item != nullptr) {
      ShellMemory itemMemory(allocator, item);
      if (SHGetPathFromIDListW(item, displayName)) chosen = sys::WideToUtf8(displayName);
    }
  }
  allocator->Release();
  return chosen;
}

}  // namespace tarnvel::win32
