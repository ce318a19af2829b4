// The version resource of each Windows program, read back from the built
// executable with the system's own calls (what Explorer's Details tab and an
// installer show): the version of project(), the program's own file name.
#include <gtest/gtest.h>
#include <windows.h>

#include <sstream>
#include <vector>

#include "sysroutines/paths.h"

namespace tarnvel::console {
namespace {

// The four numbers of FILEVERSION as the version of project() gives them
// (missing ones are 0).
std::vector<unsigned> VersionNumbers(const std::string& version) {
  std::vector<unsigned> numbers;
  std::istringstream parts(version);
  for (std::string part; std::getline(parts, part, '.');) numbers.push_back(std::stoul(part));
  numbers.resize(4, 0);
  return numbers;
}

std::string StringValue(const std::vector<char>& block, const std::string& name) {
  const std::wstring path = L"\\StringFileInfo\\040904B0\\" + sys::Utf8ToWide(name);
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || length == 0) return "(missing)";
  return sys::WideToUtf8(static_cast<const wchar_t*>(value));
}

TEST(VersionResource, EachProgramCarriesTheVersionOfTheBuild) {
  const std::vector<unsigned> expected = VersionNumbers(TARNVEL_PROJECT_VERSION);
  for (const std::string program : {TARNVEL_CONSOLE_PROGRAM, TARNVEL_WINDOW_PROGRAM}) {
    SCOPED_TRACE(program);
    const std::wstring file = sys::Utf8ToWide(program);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    ASSERT_GT(size, 0u) << "no version resource";
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(file.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    const std::vector<unsigned> fileVersion = {HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                                               HIWORD(fixed->dwFileVersionLS),
                                               LOWORD(fixed->dwFileVersionLS)};
    const std::vector<unsigned> productVersion = {
        HIWORD(fixed->dwProductVersionMS), LOWORD(fixed->dwProductVersionMS),
        HIWORD(fixed->dwProductVersionLS), LOWORD(fixed->dwProductVersionLS)};
    EXPECT_EQ(fileVersion, expected);
    EXPECT_EQ(productVersion, expected);

    EXPECT_EQ(StringValue(block, "FileVersion"), TARNVEL_PROJECT_VERSION);
    EXPECT_EQ(StringValue(block, "ProductVersion"), TARNVEL_PROJECT_VERSION);
    EXPECT_EQ(StringValue(block, "OriginalFilename"), sys::PathToUtf8(sys::PathFromUtf8(program).filename()));
    EXPECT_EQ(StringValue(block, "ProductName"), "TarnVel");
  }
}

}  // namespace
}  // namespace tarnvel::console
