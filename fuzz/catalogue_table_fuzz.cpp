// Any bytes load as a table; a table that can be stored loads back as it was.
#include <stdexcept>

#include "fuzz_entries.h"
#include "i18n/catalogue_table.h"

namespace tarnvel::fuzz {
namespace {

using i18n::CatalogueRow;
using i18n::CatalogueTable;
using i18n::Section;

bool SameRow(const CatalogueRow& a, const CatalogueRow& b) {
  return a.id == b.id && a.texts == b.texts && a.storedColumns == b.storedColumns;
}

bool SameTable(const CatalogueTable& a, const CatalogueTable& b) {
  if (a.Sections() != b.Sections()) return false;
  for (int s = 0; s < i18n::kSectionCount; ++s) {
    const auto& rowsA = a.Rows(static_cast<Section>(s));
    const auto& rowsB = b.Rows(static_cast<Section>(s));
    if (rowsA.size() != rowsB.size()) return false;
    for (std::size_t i = 0; i < rowsA.size(); ++i)
      if (!SameRow(rowsA[i], rowsB[i])) return false;
  }
  return true;
}

}  // namespace

void FuzzCatalogueTable(std::string_view input) {
  const CatalogueTable table = CatalogueTable::Load(input);
  for (Section section : table.Sections()) Expect(table.HasSection(section), "a listed section is there");
  for (int s = 0; s < i18n::kSectionCount; ++s) {
    for (const CatalogueRow& row : table.Rows(static_cast<Section>(s))) {
      Expect(row.storedColumns >= 0 && row.storedColumns <= i18n::kLanguageCount, "a row has 0 to 5 columns");
      for (int c = row.storedColumns; c < i18n::kLanguageCount; ++c)
        Expect(row.texts[static_cast<std::size_t>(c)].empty(), "a column a row does not store is empty");
    }
  }

  std::string stored;
  try {
    stored = table.Store();
  } catch (const std::runtime_error&) {
    return;  // a text without a byte in its column's code page (U+FFFD of an undefined byte)
  }
  const CatalogueTable again = CatalogueTable::Load(stored);
  Expect(SameTable(table, again), "a stored table loads back as it was");
  Expect(again.Store() == stored, "storing a loaded stored table gives the same bytes");
}

}  // namespace tarnvel::fuzz
