#include "firebird/registry_fixture.h"

#include <windows.h>

#include <cstdlib>
#include <stdexcept>

#include "sysroutines/paths.h"

namespace tarnvel::testing {
namespace {

void RemoveDiscoveryKeys() {
  for (const auto& key : DiscoveryKeys()) RegDeleteTreeW(HKEY_LOCAL_MACHINE, sys::Utf8ToWide(key).c_str());
  for (const auto& key : DiscoveryKeys()) {
    for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY})  // the fixtures' keys have no sub-keys
      RegDeleteKeyExW(HKEY_LOCAL_MACHINE, sys::Utf8ToWide(key).c_str(), view, 0);
  }
}

}  // namespace

RegistryFixture::RegistryFixture(const std::vector<FixtureKey>& keys) {
  RemoveDiscoveryKeys();
  for (const auto& key : keys) {
    HKEY handle = nullptr;
    const REGSAM access =
        KEY_WRITE | (key.view == sys::RegistryView::Registry32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY);
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, sys::Utf8ToWide(key.path).c_str(), 0, nullptr, 0, access, nullptr,
                        &handle, nullptr) != ERROR_SUCCESS)
      throw std::runtime_error("cannot create the registry key " + key.path);
    for (const auto& value : key.values) {
      const std::wstring name = sys::Utf8ToWide(value.name);
      LSTATUS status;
      if (value.kind == FixtureValue::Kind::Number) {
        const DWORD number = std::strtoul(value.text.c_str(), nullptr, 10);
        status = RegSetValueExW(handle, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                                sizeof number);
      } else {
        const std::wstring text = sys::Utf8ToWide(value.text);
        status = RegSetValueExW(handle, name.c_str(), 0,
                                value.kind == FixtureValue::Kind::Text ? REG_SZ : REG_EXPAND_SZ,
                                reinterpret_cast<const BYTE*>(text.c_str()),
                                static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
      }
      if (status != ERROR_SUCCESS) {
        RegCloseKey(handle);
        throw std::runtime_error("cannot write the registry value " + value.name);
      }
    }
    RegCloseKey(handle);
  }
}

RegistryFixture::~RegistryFixture() {
  RemoveDiscoveryKeys();
}

}  // namespace tarnvel::testing
