// The elevation each built program asks Windows for, read from the manifest
// resource of the .exe itself: the window requires administrator rights
// (the UAC prompt at start), the console runs with the rights of whoever
// starts it and checks them itself.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "sysroutines/paths.h"

namespace tarnvel::console {
namespace {

// The manifest (resource RT_MANIFEST 1) of the program file at UnixPath (the
// build's path, reached through Wine's drive Z:); empty when it has none.
std::string ManifestOf(const std::string& unixPath) {
  std::wstring path = sys::Utf8ToWide("Z:" + unixPath);
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  const HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) return {};
  std::string manifest;
  if (const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), RT_MANIFEST)) {
    const HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes != nullptr) manifest.assign(static_cast<const char*>(bytes), SizeofResource(module, found));
  }
  FreeLibrary(module);
  return manifest;
}

// The level of requestedExecutionLevel; empty when there is none.
std::string RequestedLevel(const std::string& manifest) {
  const std::size_t element = manifest.find("<requestedExecutionLevel");
  if (element == std::string::npos) return {};
  const std::size_t level = manifest.find("level=\"", element);
  if (level == std::string::npos) return {};
  const std::size_t begin = level + 7;
  return manifest.substr(begin, manifest.find('"', begin) - begin);
}

TEST(ProgramManifests, TheWindowRequiresAdministratorTheConsoleRunsAsInvoker) {
  const struct {
    const char* program;
    const char* level;
  } cases[] = {{TARNVEL_WINDOW_PROGRAM, "requireAdministrator"}, {TARNVEL_CONSOLE_PROGRAM, "asInvoker"}};
  for (const auto& c : cases) {
    const std::string manifest = ManifestOf(c.program);
    ASSERT_FALSE(manifest.empty()) << c.program << " carries no manifest";
    EXPECT_EQ(RequestedLevel(manifest), c.level) << c.program;
  }
}

}  // namespace
}  // namespace tarnvel::console
