#include "app/window_texts.h"

namespace tarnvel {

void TranslateWindowTexts(const i18n::Catalogue& sill, IMainView& view) {
  for (const i18n::CatalogueRow& row : sill.Table().Rows(i18n::Section::Captions)) {
    const std::string text = sill.TextOf(row);
    if (!text.empty()) view.SetControlCaption(row.id, text);
  }
  for (const i18n::CatalogueRow& row : sill.Table().Rows(i18n::Section::Hints)) {
    const std::string text = sill.TextOf(row);
    if (!text.empty()) view.SetControlHint(row.id, text);
  }
}

}  // namespace tarnvel
