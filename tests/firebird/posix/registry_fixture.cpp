#include "firebird/registry_fixture.h"

#include <cstdlib>
#include <sstream>

#include "sysroutines/registry.h"

namespace tarnvel::testing {
namespace {

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out.push_back('\\');
    out.push_back(c);
  }
  return out + "\"";
}

// hex(2): the text as UTF-16LE bytes with the closing zero, as regedit writes it.
std::string Hex2(const std::string& text) {
  std::ostringstream out;
  out << "hex(2):";
  auto byte = [&](unsigned value, bool last) {
    const char* digits = "0123456789abcdef";
    out << digits[(value >> 4) & 0xF] << digits[value & 0xF] << (last ? "" : ",");
  };
  for (unsigned char c : text) {  // the fixtures' expandable texts are ASCII
    byte(c, false);
    byte(0, false);
  }
  byte(0, false);
  byte(0, true);
  return out.str();
}

}  // namespace

RegistryFixture::RegistryFixture(const std::vector<FixtureKey>& keys) {
  std::string file = "Windows Registry Editor Version 5.00\r\n";
  for (const auto& key : keys) {
    file += "\r\n[HKEY_LOCAL_MACHINE\\" + key.path + "]\r\n";
    for (const auto& value : key.values) {
      file += Quoted(value.name) + "=";
      switch (value.kind) {
        case FixtureValue::Kind::Text:
          file += Quoted(value.text);
          break;
        case FixtureValue::Kind::ExpandableText:
          file += Hex2(value.text);
          break;
        case FixtureValue::Kind::Number: {
          char dword[16];
          std::snprintf(dword, sizeof dword, "dword:%08lx", std::strtoul(value.text.c_str(), nullptr, 10));
          file += dword;
          break;
        }
      }
      file += "\r\n";
    }
  }
  const std::string path = dir_ / "registry.reg";
  WriteFile(dir_.path() / "registry.reg", file);
  setenv(sys::kRegistryFileVariable, path.c_str(), 1);
}

RegistryFixture::~RegistryFixture() {
  unsetenv(sys::kRegistryFileVariable);
}

}  // namespace tarnvel::testing
