#include "i18n/catalogue.h"

#include "sysroutines/ascii_case.h"

namespace tarnvel::i18n {

const std::array<std::string_view, kLanguageCount> kLanguageNames = {
    "Programmer_Language", "Russian_Language", "English_Language", "German_Language", "French_Language",
};

Catalogue::Catalogue(std::string name, std::string ownerName, CatalogueTable table)
    : name_(std::move(name)), ownerName_(std::move(ownerName)), table_(std::move(table)) {}

void Catalogue::SetActiveLanguage(int language) {
  if (language >= 1 && language <= kLanguageCount) activeLanguage_ = language;
}

const CatalogueRow* Catalogue::FindRow(Section section, std::string_view id) const {
  for (const CatalogueRow& row : table_.Rows(section)) {
    if (sys::EqualsIgnoringAsciiCase(row.id, id)) return &row;
  }
  return nullptr;
}

const std::string& Catalogue::ActiveTextOf(const CatalogueRow& row) const {
  return row.texts[static_cast<std::size_t>(activeLanguage_ - 1)];
}

std::string Catalogue::TextOf(const CatalogueRow& row) const {
  const std::string& text = ActiveTextOf(row);
  return text.empty() ? row.texts[0] : text;
}

}  // namespace tarnvel::i18n
