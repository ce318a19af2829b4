#pragma once
// A catalogue table: sections of rows, each row an identifier and the texts of
// the five language columns. Loaded from the stored single-byte form; texts are
// UTF-8 in memory.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnvel::i18n {

constexpr int kLanguageCount = 5;

/// The twelve section names, in the order the tables write them.
enum class Section {
  Captions, Hints, DisplayLabels, Fonts, MultiLines, DlgsCaptions,
  Strings, OtherStrings, Locales, Collections, CharSets, ListViewTreeViewItems,
};
constexpr int kSectionCount = 12;

/// "stCaptions", "stHints", ...
std::string_view SectionName(Section section);
/// The section whose name equals Name without regard to case.
std::optional<Section> SectionFromName(std::string_view name);

struct CatalogueRow {
  std::string id;
  std::array<std::string, kLanguageCount> texts;  // columns 1..5, UTF-8
  int storedColumns = kLanguageCount;             // a stored row may stop early
};

class CatalogueTable {
 public:
  /// Reads the stored form: CR LF lines, section header lines, rows of
  /// ID 0x01 text 0x01 ... 0x01, 0x19 0x1A for a line break, Windows-1251 in
  /// columns 1-2 and Windows-1252 in columns 3-5. Lines before the first header
  /// are ignored. Never fails: whatever is not a header is a row.
  static CatalogueTable Load(std::string_view stored);

  /// The stored form of this table (the inverse of Load). Throws
  /// std::runtime_error when a text has no byte in its column's code page.
  std::string Store() const;

  /// Sections in the order their first headers appear, each once.
  const std::vector<Section>& Sections() const { return order_; }
  bool HasSection(Section section) const;
  /// The rows of a section in table order (empty when the section is absent).
  const std::vector<CatalogueRow>& Rows(Section section) const;

 private:
  std::vector<Section> order_;
  std::array<std::vector<CatalogueRow>, kSectionCount> rows_;
};

}  // namespace tarnvel::i18n
