#include "sysroutines/resources.h"

#include <windows.h>

#include "sysroutines/paths.h"

namespace tarnvel::sys {

std::optional<std::string_view> FindEmbeddedResource(std::string_view type, std::string_view name) {
  const std::wstring wtype = Utf8ToWide(type);
  const std::wstring wname = Utf8ToWide(name);
  HRSRC info = FindResourceW(nullptr, wname.c_str(), wtype.c_str());
  if (info == nullptr) return std::nullopt;
  HGLOBAL handle = LoadResource(nullptr, info);
  if (handle == nullptr) return std::nullopt;
  const void* data = LockResource(handle);
  const DWORD size = SizeofResource(nullptr, info);
  if (data == nullptr && size != 0) return std::nullopt;
  return std::string_view(static_cast<const char*>(data), size);
}

}  // namespace tarnvel::sys
