#include "sysroutines/registry_file.h"

#include <cstdint>
#include <optional>
#include <vector>

#include "sysroutines/utf8.h"

namespace tarnvel::sys {
namespace {

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";

std::string UpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

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

}  // namespace

std::string NormaliseRegistryPath(std::string_view keyPath) {
  while (!keyPath.empty() && keyPath.front() == '\\') keyPath.remove_prefix(1);
  while (!keyPath.empty() && keyPath.back() == '\\') keyPath.remove_suffix(1);
  return UpperAscii(keyPath);
}

RegistryFileContents RegistryFileContents::Parse(std::string_view bytes) {
  RegistryFileContents contents;
  const std::vector<std::string> lines = LogicalLines(DecodeFile(bytes));
  std::size_t i = 0;
  while (i < lines.size() && lines[i].empty()) ++i;
  if (i == lines.size() || lines[i] != kHeader) return contents;

  std::map<std::string, Value>* current = nullptr;
  for (++i; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      current = nullptr;
      if (line.back() != ']' || line.size() < 3 || line[1] == '-') continue;
      const std::string full = UpperAscii(line.substr(1, line.size() - 2));
      for (const std::string_view hive : {"HKEY_LOCAL_MACHINE\\", "HKLM\\"}) {
        if (full.compare(0, hive.size(), hive) == 0) {
          current = &contents.keys_[NormaliseRegistryPath(full.substr(hive.size()))];
          break;
        }
      }
      continue;
    }
    if (!current) continue;

    std::size_t pos = 0;
    std::string name;
    if (line.front() == '@') {
      pos = 1;
    } else if (line.front() == '"') {
      auto quoted = QuotedString(line, pos);
      if (!quoted) continue;
      name = *quoted;
    } else {
      continue;
    }
    const std::string_view rest = Trim(line.substr(pos));
    if (rest.empty() || rest.front() != '=') continue;
    const std::string_view data = Trim(rest.substr(1));
    if (data == "-") continue;

    Value value;
    if (!data.empty() && data.front() == '"') {
      std::size_t at = 0;
      auto text = QuotedString(data, at);
      if (!text) continue;
      value = {true, *text};
    } else if (UpperAscii(data.substr(0, 7)) == "HEX(2):") {
      auto raw = HexBytes(data.substr(7));
      if (!raw) continue;
      std::string text = Utf16LeToUtf8(*raw);
      while (!text.empty() && text.back() == '\0') text.pop_back();
      value = {true, text};
    }
    (*current)[UpperAscii(name)] = value;
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
