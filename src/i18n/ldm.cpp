#include "i18n/ldm.h"

#include <memory>
#include <stdexcept>

#include "sysroutines/resources.h"
#include "sysroutines/system_language.h"
#include "sysroutines/text_helpers.h"

namespace tarnvel::i18n {
namespace {

// The report lines of one section: "  ID:column-1 text", joined by CR.
std::string SectionReport(const Catalogue& component, Section section, std::string_view word) {
  std::string lines;
  for (const CatalogueRow& row : component.Table().Rows(section)) {
    if (!component.ActiveTextOf(row).empty()) continue;
    // A row without a design text has nothing to translate: the window's own
    // caption row, whose caption is the application title set at start-up.
    if (row.texts[0].empty()) continue;
    if (!lines.empty()) lines += '\r';
    lines += "  " + row.id + ":" + row.texts[0];
  }
  if (lines.empty()) return {};
  return " (" + std::string(word) + "):\r" + lines;
}

CatalogueTable EmbeddedTable(std::string_view name) {
  std::optional<std::string_view> stored = sys::FindEmbeddedResource("CATALOGUE", name);
  if (!stored) throw std::runtime_error("The message catalogue " + std::string(name) + " is missing.");
  return CatalogueTable::Load(*stored);
}

}  // namespace

TLDM::TLDM(CatalogueTable silTable) : Sil("Sil", "LDM", std::move(silTable)) {
  Sild.OnLinkToDispatcher = [this](Catalogue& component) {
    return &component == &Sil ? std::string() : CheckEmptyTexts(component);
  };
  Sild.Link(Sil);
}

std::string TLDM::DataModuleCreate() {
  Sild.SetActiveLanguage(sys::GetLanguageIndex() + 1);
  startupReport_ = CheckEmptyTexts(Sil);
  return startupReport_;
}

std::string TLDM::CheckEmptyTexts(const Catalogue& component) const {
  const std::string captions = SectionReport(component, Section::Captions, "Captions");
  const std::string strings = SectionReport(component, Section::Strings, "Strings");
  std::string report = captions;
  if (!captions.empty()) report += '\r';
  report += strings;
  if (report.empty()) return {};
  return "Check for emptyes in:\r\r" + component.OwnerName() + ":" + component.Name() + report;
}

std::string TLDM::DialogCaption(std::string_view id) const {
  const CatalogueRow* row = Sil.FindRow(Section::DlgsCaptions, id);
  return row ? Sil.TextOf(*row) : std::string(id);
}

TLDM& LDM() {
  static const std::unique_ptr<TLDM> instance = [] {
    auto ldm = std::make_unique<TLDM>(EmbeddedSilTable());
    ldm->DataModuleCreate();
    return ldm;
  }();
  return *instance;
}

std::string MessageTextFrom(const Catalogue& catalogue, std::string_view id,
                            const std::array<std::string_view, 10>& args) {
  const CatalogueRow* row = catalogue.FindRow(Section::Strings, id);
  if (row == nullptr) return {};
  std::string text = catalogue.TextOf(*row);
  for (std::size_t k = 0; k < args.size(); ++k) {
    if (args[k] == kNull) continue;
    // Never rescans what it inserted: an argument may hold its own placeholder.
    text = sys::ReplaceAll(std::move(text), "{" + std::to_string(k) + "}", std::string(args[k]));
  }
  return text;
}

std::string GetMessageText(std::string_view id, std::string_view a0, std::string_view a1, std::string_view a2,
                           std::string_view a3, std::string_view a4, std::string_view a5, std::string_view a6,
                           std::string_view a7, std::string_view a8, std::string_view a9) {
  return MessageTextFrom(LDM().Sil, id, {a0, a1, a2, a3, a4, a5, a6, a7, a8, a9});
}

CatalogueTable EmbeddedSilTable() {
  return EmbeddedTable("SIL");
}
CatalogueTable EmbeddedSillTable() {
  return EmbeddedTable("SILL");
}

}  // namespace tarnvel::i18n
