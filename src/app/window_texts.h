#pragma once
// The window's design texts in the active language: captions and hints from
// the window's catalogue component.

#include "app/main_view.h"
#include "i18n/catalogue.h"

namespace tarnvel {

/// Gives every control the caption and hint of its row in the active
/// language, or the design text (column 1) where the active column is empty.
/// A row without any text (the window's own caption, which is the
/// application title) and a row naming a control the window does not have
/// change nothing.
void TranslateWindowTexts(const i18n::Catalogue& sill, IMainView& view);

}  // namespace tarnvel
