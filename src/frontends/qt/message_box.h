#pragma once
// The typed message boxes of the engine and the error box of the exception
// handler, as Qt message boxes.

#include <QWidget>

#include "update/host.h"

namespace tarnvel::qt {

/// Shows Request modally over Parent (or alone): icon by type, the caption,
/// the text with its line breaks, the buttons with the catalogue's labels.
/// Enter answers the focused button, Esc the escape button.
DialogButton ShowMessageBox(QWidget* parent, const DialogRequest& request);

/// The text as Qt shows it: every CR LF, lone CR and lone LF a line break.
QString BoxText(const std::string& text);

}  // namespace tarnvel::qt
