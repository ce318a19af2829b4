// The registry text format behind discovery on Linux: what regedit exports,
// read as UTF-8 and as UTF-16LE.
#include <gtest/gtest.h>

#include "sysroutines/paths.h"
#include "sysroutines/registry_file.h"

namespace tarnvel::sys {
namespace {

// "C:\Fb\bin\fbserver.exe -p 3051" as the hex(2) bytes regedit writes,
// wrapped over two lines.
const char* const kSample =
    "Windows Registry Editor Version 5.00\r\n"
    "\r\n"
    "; a comment\r\n"
    "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Plain]\r\n"
    "\"ImagePath\"=\"\\\"C:\\\\Fb\\\\bin\\\\fbserver.exe\\\" -p 3051\"\r\n"
    "\"Start\"=dword:00000002\r\n"
    "@=\"default\"\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Expand]\r\n"
    "\"ImagePath\"=hex(2):43,00,3a,00,5c,00,46,00,62,00,5c,00,62,00,69,00,6e,00,5c,00,66,00,\\\r\n"
    "  62,00,73,00,65,00,72,00,76,00,65,00,72,00,2e,00,65,00,78,00,65,00,20,00,2d,00,70,00,20,\\\r\n"
    "  00,33,00,30,00,35,00,31,00,00,00\r\n"
    "\"Multi\"=hex(7):41,00,00,00,00,00\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Firebird 2.0 для ПО ГК "
    "\"Норваск\"]\r\n"
    "\"DisplayName\"=\"Firebird\"\r\n"
    "\r\n"
    "[HKEY_CURRENT_USER\\Software\\Elsewhere]\r\n"
    "\"ImagePath\"=\"not machine\"\r\n"
    "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Removed]\r\n";

std::string Utf16LeWithBom(const std::string& utf8) {
  std::string out = "\xFF\xFE";
  for (const wchar_t unit : Utf8ToWide(utf8)) {
    out.push_back(static_cast<char>(unit & 0xFF));
    out.push_back(static_cast<char>((unit >> 8) & 0xFF));
  }
  return out;
}

class RegistryFileEncodings : public ::testing::TestWithParam<bool> {};

TEST_P(RegistryFileEncodings, ReadsKeysAndValuesOfTheSubset) {
  const std::string utf8 = kSample;
  const auto contents =
      RegistryFileContents::Parse(GetParam() ? Utf16LeWithBom(utf8) : "\xEF\xBB\xBF" + utf8);

  const std::string services = "SYSTEM\\CurrentControlSet\\Services\\";
  EXPECT_TRUE(contents.KeyExists("\\" + services + "Plain"));
  EXPECT_TRUE(contents.KeyExists("system\\currentcontrolset\\services\\PLAIN"));
  EXPECT_TRUE(contents.KeyExists("SYSTEM\\CurrentControlSet"));  // parents of a section exist
  EXPECT_FALSE(contents.KeyExists(services + "Pla"));
  EXPECT_FALSE(contents.KeyExists("Software\\Elsewhere"));  // another hive
  EXPECT_FALSE(contents.KeyExists("SOFTWARE\\Removed"));
  EXPECT_TRUE(
      contents.KeyExists("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
                         "Firebird 2.0 для ПО ГК \"Норваск\""));

  const struct {
    const char* key;
    const char* value;
    RegistryValueKind kind;
    const char* text;
  } cases[] = {
      {"Plain", "ImagePath", RegistryValueKind::Text, "\"C:\\Fb\\bin\\fbserver.exe\" -p 3051"},
      {"Plain", "imagepath", RegistryValueKind::Text, "\"C:\\Fb\\bin\\fbserver.exe\" -p 3051"},
      {"Plain", "", RegistryValueKind::Text, "default"},
      {"Plain", "Start", RegistryValueKind::NotText, ""},
      {"Plain", "Nothing", RegistryValueKind::Missing, ""},
      {"Expand", "ImagePath", RegistryValueKind::Text, "C:\\Fb\\bin\\fbserver.exe -p 3051"},
      {"Expand", "Multi", RegistryValueKind::NotText, ""},
      {"Absent", "ImagePath", RegistryValueKind::Missing, ""},
  };
  for (const auto& c : cases) {
    const RegistryText read = contents.ReadText(services + c.key, c.value);
    EXPECT_EQ(read.kind, c.kind) << c.key << " " << c.value;
    EXPECT_EQ(read.text, c.text) << c.key << " " << c.value;
  }
}

INSTANTIATE_TEST_SUITE_P(Utf8AndUtf16, RegistryFileEncodings, ::testing::Bool());

TEST(RegistryFile, TextWithoutTheHeaderIsNoRegistry) {
  for (const char* text : {"", "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"X\"=\"1\"\r\n",
                           "[HKEY_LOCAL_MACHINE\\A]\r\n\"X\"=\"1\"\r\n"}) {
    const auto contents = RegistryFileContents::Parse(text);
    EXPECT_FALSE(contents.KeyExists("A")) << text;
    EXPECT_EQ(contents.ReadText("A", "X").kind, RegistryValueKind::Missing) << text;
  }
}

TEST(RegistryFile, TextWithAZeroInsideIsNoText) {
  using namespace std::string_literals;
  const struct {
    std::string data;
    RegistryValueKind kind;
    std::string text;
  } cases[] = {
      {"\"C:\\\\Fb\0\\\\bin\\\\x\""s, RegistryValueKind::NotText, ""},
      {"hex(2):43,00,00,00,5c,00,00,00"s, RegistryValueKind::NotText, ""},         // "C", a zero, "\"
      {"hex(2):43,00,5c,00,00,00,00,00"s, RegistryValueKind::Text, "C\\"},         // closing zeros only
      {"\"C:\\\\Fb\\\\bin\\\\x\0\""s, RegistryValueKind::Text, "C:\\Fb\\bin\\x"},  // a closing zero
  };
  for (const auto& c : cases) {
    const auto contents = RegistryFileContents::Parse(
        "Windows Registry Editor Version 5.00\r\n[HKLM\\K]\r\n"
        "\"ImagePath\"=" +
        c.data + "\r\n");
    const RegistryText read = contents.ReadText("K", "ImagePath");
    EXPECT_EQ(read.kind, c.kind) << c.data;
    EXPECT_EQ(read.text, c.text) << c.data;
  }
}

}  // namespace
}  // namespace tarnvel::sys
