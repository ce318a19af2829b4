#include "sysroutines/registry.h"

#include <windows.h>

#include <vector>

#include "sysroutines/paths.h"

namespace tarnvel::sys {
namespace {

std::wstring KeyPathW(const std::string& keyPath) {
  std::string_view path = keyPath;
  while (!path.empty() && path.front() == '\\') path.remove_prefix(1);
  return Utf8ToWide(path);
}

class OpenKey final : public RegistryKey {
 public:
  explicit OpenKey(HKEY key) : key_(key) {}
  ~OpenKey() override { RegCloseKey(key_); }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;

  RegistryText ReadText(const std::string& valueName) const override {
    const std::wstring name = Utf8ToWide(valueName);
    DWORD type = 0;
    DWORD size = 0;
    LSTATUS status = RegQueryValueExW(key_, name.c_str(), nullptr, &type, nullptr, &size);
    // A value that cannot be read at all reads as missing: discovery then
    // reports the server type it could not determine.
    if (status != ERROR_SUCCESS) return {};
    if (type != REG_SZ && type != REG_EXPAND_SZ) return {RegistryValueKind::NotText, {}};
    std::vector<BYTE> data;
    do {
      data.resize(size + sizeof(wchar_t));
      size = static_cast<DWORD>(data.size());
      status = RegQueryValueExW(key_, name.c_str(), nullptr, &type, data.data(), &size);
    } while (status == ERROR_MORE_DATA);
    if (status != ERROR_SUCCESS) return {};
    if (type != REG_SZ && type != REG_EXPAND_SZ) return {RegistryValueKind::NotText, {}};
    std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), size / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    // A zero inside would hide the rest of the value from every reader that
    // stops at it (the folder test among them): such a value is no text.
    if (text.find(L'\0') != std::wstring::npos) return {RegistryValueKind::NotText, {}};
    return {RegistryValueKind::Text, WideToUtf8(text)};
  }

 private:
  HKEY key_;
};

class LocalMachine final : public MachineRegistry {
 public:
  bool KeyExists(const std::string& keyPath, RegistryView view) const override {
    return OpenKeyReadOnly(keyPath, view) != nullptr;
  }

  std::unique_ptr<RegistryKey> OpenKeyReadOnly(const std::string& keyPath, RegistryView view) const override {
    // KEY_WOW64_32KEY is what a 32-bit process gets anyway; 32-bit Windows ignores it.
    const REGSAM access = KEY_READ | (view == RegistryView::Registry32 ? KEY_WOW64_32KEY : 0);
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, KeyPathW(keyPath).c_str(), 0, access, &key) != ERROR_SUCCESS)
      return nullptr;
    return std::make_unique<OpenKey>(key);
  }

  bool FolderExists(const std::string& path) const override {
    if (path.empty() || path.find('\0') != std::string::npos) return false;
    const DWORD attributes = GetFileAttributesW(Utf8ToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  }
};

}  // namespace

std::unique_ptr<MachineRegistry> OpenMachineRegistry() {
  return std::make_unique<LocalMachine>();
}

}  // namespace tarnvel::sys
