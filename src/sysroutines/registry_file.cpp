#include "sysroutines/registry_file.h"

#include <cstdint>
#include <optional>
#include <vector>

#include "sysroutines/ascii_case.h"
#include "sysroutines/utf8.h"

namespace tarnvel::sys {
namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";

// UTF-16LE bytes to UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf16LeToUtf8(std::string_view bytes) {
  std::string out;
  const std::size_t units = bytes.size() / 2;
  auto unit = [&](std::size_t i) {
    return static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                 (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
  };
  for (std::size_t i = 0; i < units; ++i) {
    char32_t cp = unit(i);
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < units && unit(i + 1) >= 0xDC00 && unit(i + 1) <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (unit(i + 1) - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    AppendUtf8(out, cp);
  }
  return out;
}

std::string DecodeFile(std::string_view bytes) {
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE)
    return Utf16LeToUtf8(bytes.substr(2));
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return std::string(bytes.substr(3));
  return std::string(bytes);
}

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

// Physical lines joined where a hex list goes on with a trailing "\".
std::vector<std::string> LogicalLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string current;
  bool continuing = false;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string_view line = Trim(std::string_view(text).substr(start, end - start));
    if (continuing) {
      current += line;
    } else {
      current = std::string(line);
    }
    continuing = !current.empty() && current.back() == '\\' && current.find("=hex") != std::string::npos;
    if (continuing) {
      current.pop_back();
    } else {
      lines.push_back(current);
    }
    start = end + 1;
  }
  if (continuing) lines.push_back(current);
  return lines;
}

// A quoted string starting at text[pos] == '"'; pos ends after the closing quote.
std::optional<std::string> QuotedString(std::string_view text, std::size_t& pos) {
  std::string out;
  for (++pos; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c == '"') {
      ++pos;
      return out;
    }
    if (c == '\\' && pos + 1 < text.size()) ++pos;
    out.push_back(text[pos]);
  }
  return std::nullopt;
}

std::optional<std::string> HexBytes(std::string_view list) {
  std::string bytes;
  std::size_t pos = 0;
  while (pos < list.size()) {
    const auto comma = list.find(',', pos);
    const std::string_view item =
        Trim(list.substr(pos, comma == std::string_view::npos ? list.npos : comma - pos));
    if (!item.empty()) {
      if (item.size() > 2) return std::nullopt;
      unsigned value = 0;
      for (char c : item) {
        value <<= 4;
        if (c >= '0' && c <= '9')
          value |= static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'f')
          value |= static_cast<unsigned>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
          value |= static_cast<unsigned>(c - 'A' + 10);
        else
          return std::nullopt;
      }
      bytes.push_back(static_cast<char>(value));
    }
    if (comma == std::string_view::npos) break;
    pos = comma + 1;
  }
  return bytes;
}

// The index of the first line after the header line, which must be the first
// non-blank line; nullopt when the text is not a registry file.
std::optional<std::size_t> AfterHeader(const std::vector<std::string>& lines) {
  std::size_t i = 0;
  while (i < lines.size() && lines[i].empty()) ++i;
  if (i == lines.size() || lines[i] != kHeader) return std::nullopt;
  return i + 1;
}

// The normalised key path of a section line "[HKEY_LOCAL_MACHINE\...]";
// nullopt for another hive, a deletion "[-...]" or a malformed line.
std::optional<std::string> MachineSection(std::string_view line) {
  if (line.size() < 3 || line.back() != ']' || line[1] == '-') return std::nullopt;
  const std::string full = UpperAscii(line.substr(1, line.size() - 2));
  for (const std::string_view hive : {"HKEY_LOCAL_MACHINE\\", "HKLM\\"}) {
    if (full.compare(0, hive.size(), hive) == 0) return NormaliseRegistryPath(full.substr(hive.size()));
  }
  return std::nullopt;
}

// The value name of a value line ("name" or @ for the default value) and
// the data after its "="; nullopt for a line that is no value.
struct ValueLine {
  std::string name;
  std::string_view data;
};
std::optional<ValueLine> SplitValueLine(std::string_view line) {
  ValueLine value;
  std::size_t pos = 0;
  if (line.front() == '@') {
    pos = 1;
  } else if (line.front() == '"') {
    auto quoted = QuotedString(line, pos);
    if (!quoted) return std::nullopt;
    value.name = *quoted;
  } else {
    return std::nullopt;
  }
  const std::string_view rest = Trim(line.substr(pos));
  if (rest.empty() || rest.front() != '=') return std::nullopt;
  value.data = Trim(rest.substr(1));
  return value;
}

// A text as the registry hands it out: the closing zeros of a hex(2) list
// are no part of it, and a zero inside means the value is no text at all (the
// part before it is what every C string reader would see).
RegistryFileContents::Value TextValue(std::string text) {
  while (!text.empty() && text.back() == '\0') text.pop_back();
  if (text.find('\0') != std::string::npos) return {};
  return {true, std::move(text)};
}

// The value that the data of a value line stands for: "text", hex(2):..
// (UTF-16LE bytes), or anything else as "not text". Nullopt when the data
// is malformed and the line is skipped.
std::optional<RegistryFileContents::Value> ParseValueData(std::string_view data) {
  if (!data.empty() && data.front() == '"') {
    std::size_t at = 0;
    auto text = QuotedString(data, at);
    if (!text) return std::nullopt;
    return TextValue(std::move(*text));
  }
  if (UpperAscii(data.substr(0, 7)) == "HEX(2):") {
    auto raw = HexBytes(data.substr(7));
    if (!raw) return std::nullopt;
    return TextValue(Utf16LeToUtf8(*raw));
  }
  return RegistryFileContents::Value{};
}

}  // namespace

std::string NormaliseRegistryPath(std::string_view keyPath) {
  while (!keyPath.empty() && keyPath.front() == '\\') keyPath.remove_prefix(1);
  while (!keyPath.empty() && keyPath.back() == '\\') keyPath.remove_suffix(1);
  return UpperAscii(keyPath);
}

RegistryFileContents RegistryFileContents::Parse(std::string_view bytes) {
  RegistryFileContents contents;
  const std::vector<std::string> lines = LogicalLines(DecodeFile(bytes));
  const std::optional<std::size_t> first = AfterHeader(lines);
  if (!first) return contents;

  std::map<std::string, Value>* current = nullptr;  // the values of the open HKLM section
  for (std::size_t i = *first; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      const std::optional<std::string> key = MachineSection(line);
      current = key ? &contents.keys_[*key] : nullptr;
      continue;
    }
    if (!current) continue;
    const std::optional<ValueLine> valueLine = SplitValueLine(line);
    if (!valueLine || valueLine->data == "-") continue;  // a deletion removes nothing here
    if (std::optional<Value> value = ParseValueData(valueLine->data))
      (*current)[UpperAscii(valueLine->name)] = std::move(*value);
  }
  return contents;
}

bool RegistryFileContents::KeyExists(const std::string& keyPath) const {
  const std::string wanted = NormaliseRegistryPath(keyPath);
  if (wanted.empty()) return true;
  if (keys_.count(wanted)) return true;
  const std::string below = wanted + "\\";
  const auto it = keys_.lower_bound(below);
  return it != keys_.end() && it->first.compare(0, below.size(), below) == 0;
}

RegistryText RegistryFileContents::ReadText(const std::string& keyPath, const std::string& valueName) const {
  const auto key = keys_.find(NormaliseRegistryPath(keyPath));
  if (key == keys_.end()) return {};
  const auto value = key->second.find(UpperAscii(valueName));
  if (value == key->second.end()) return {};
  if (!value->second.isText) return {RegistryValueKind::NotText, {}};
  return {RegistryValueKind::Text, value->second.text};
}

}  // namespace tarnvel::sys
