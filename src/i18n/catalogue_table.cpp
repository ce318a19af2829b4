#include "i18n/catalogue_table.h"

#include <stdexcept>

#include "i18n/codepages.h"
#include "sysroutines/ascii_case.h"

namespace tarnvel::i18n {
namespace {

constexpr std::array<std::string_view, kSectionCount> kSectionNames = {
    "stCaptions",   "stHints",        "stDisplayLabels", "stFonts",
    "stMultiLines", "stDlgsCaptions", "stStrings",       "stOtherStrings",
    "stLocales",    "stCollections",  "stCharSets",      "stListView_TreeView_Items",
};

constexpr char kDelimiter = '\x01';
constexpr char kStoredCr = '\x19';
constexpr char kStoredLf = '\x1A';

CodePage ColumnCodePage(int column) {  // column 1..5
  return column <= 2 ? CodePage::Windows1251 : CodePage::Windows1252;
}

std::string DecodeText(std::string_view stored, int column) {
  std::string text = ToUtf8(stored, ColumnCodePage(column));
  for (char& c : text) {
    if (c == kStoredCr)
      c = '\r';
    else if (c == kStoredLf)
      c = '\n';
  }
  return text;
}

CatalogueRow ParseRow(std::string_view line) {
  CatalogueRow row;
  std::size_t cut = line.find(kDelimiter);
  row.id = std::string(line.substr(0, cut));
  int column = 0;
  while (cut != std::string_view::npos && column < kLanguageCount) {
    const std::size_t start = cut + 1;
    const std::size_t next = line.find(kDelimiter, start);
    // The final delimiter closes the last text; it does not open a column.
    if (next == std::string_view::npos && start == line.size()) break;
    ++column;
    const std::string_view stored =
        line.substr(start, next == std::string_view::npos ? std::string_view::npos : next - start);
    row.texts[static_cast<std::size_t>(column - 1)] = DecodeText(stored, column);
    cut = next;
  }
  row.storedColumns = column;
  return row;
}

std::string EncodeText(const std::string& text, int column, const std::string& id) {
  std::string withBreaks;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      withBreaks += kStoredCr;
      withBreaks += kStoredLf;
      ++i;
    } else {
      withBreaks += text[i];
    }
  }
  std::optional<std::string> bytes = FromUtf8(withBreaks, ColumnCodePage(column));
  if (!bytes) {
    throw std::runtime_error("catalogue row " + id + ": column " + std::to_string(column) +
                             " does not fit its code page");
  }
  return *bytes;
}

}  // namespace

std::string_view SectionName(Section section) {
  return kSectionNames[static_cast<std::size_t>(section)];
}

std::optional<Section> SectionFromName(std::string_view name) {
  for (std::size_t i = 0; i < kSectionNames.size(); ++i) {
    if (sys::EqualsIgnoringAsciiCase(name, kSectionNames[i])) return static_cast<Section>(i);
  }
  return std::nullopt;
}

CatalogueTable CatalogueTable::Load(std::string_view stored) {
  CatalogueTable table;
  std::optional<Section> current;
  std::size_t pos = 0;
  while (pos < stored.size()) {
    std::size_t end = stored.find("\r\n", pos);
    if (end == std::string_view::npos) end = stored.size();
    const std::string_view line = stored.substr(pos, end - pos);
    pos = end + 2;
    if (std::optional<Section> header = SectionFromName(line)) {
      current = header;
      // A repeated header goes on with its section: Store writes each section
      // once, with all its rows.
      if (!table.HasSection(*header)) table.order_.push_back(*header);
      continue;
    }
    if (!current || line.empty()) continue;
    table.rows_[static_cast<std::size_t>(*current)].push_back(ParseRow(line));
  }
  return table;
}

std::string CatalogueTable::Store() const {
  std::string out;
  for (Section section : order_) {
    out += SectionName(section);
    out += "\r\n";
    for (const CatalogueRow& row : Rows(section)) {
      out += row.id;
      for (int column = 1; column <= row.storedColumns; ++column) {
        out += kDelimiter;
        out += EncodeText(row.texts[static_cast<std::size_t>(column - 1)], column, row.id);
      }
      out += kDelimiter;
      out += "\r\n";
    }
  }
  return out;
}

bool CatalogueTable::HasSection(Section section) const {
  for (Section s : order_) {
    if (s == section) return true;
  }
  return false;
}

const std::vector<CatalogueRow>& CatalogueTable::Rows(Section section) const {
  return rows_[static_cast<std::size_t>(section)];
}

}  // namespace tarnvel::i18n
