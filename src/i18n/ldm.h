#pragma once
// The localisation data module: the message catalogue Sil, the language
// dispatcher Sild, language selection at start-up and GetMessageText.

#include <string>
#include <string_view>

#include "i18n/catalogue.h"
#include "i18n/dispatcher.h"

namespace tarnvel::i18n {

/// The argument value that marks an unused placeholder argument.
inline constexpr std::string_view kNull = "*Null*";

class TLDM {
 public:
  /// A module over the given message table (stStrings and stDlgsCaptions).
  explicit TLDM(CatalogueTable silTable);

  /// Language selection: the system language's index + 1 becomes the active
  /// language of Sild (and so of Sil). Returns the empty-text report of Sil
  /// (empty when nothing is missing), which StartupReport() keeps for the
  /// window that shows it in a warning box.
  std::string DataModuleCreate();

  /// The empty-text report of the last DataModuleCreate.
  const std::string& StartupReport() const { return startupReport_; }

  /// The empty-text report of a component in its active language: the text of
  /// the warning box ("Check for emptyes in:" ...), or empty when no caption
  /// and no message is empty.
  std::string CheckEmptyTexts(const Catalogue& component) const;

  /// Caption or button label of a standard message box (stDlgsCaptions), e.g.
  /// "Warning", "Yes".
  std::string DialogCaption(std::string_view id) const;

  Catalogue Sil;
  /// Linking a window's catalogue (Sild.Link) returns its empty-text report;
  /// components of LDM itself report nothing there.
  LanguageDispatcher Sild;

 private:
  std::string startupReport_;
};

/// The process-wide module. Created on first use from the catalogue embedded in
/// the executable, with the language chosen from the system language; its
/// StartupReport() waits there for the window to show it.
TLDM& LDM();

/// The localised text of message Id (identifier without regard to case) with
/// placeholders {0}..{9} filled by A0..A9 in that order; an argument equal to
/// "*Null*" leaves its placeholder as written. Unknown Id: empty string.
std::string GetMessageText(std::string_view id, std::string_view a0 = kNull, std::string_view a1 = kNull,
                           std::string_view a2 = kNull, std::string_view a3 = kNull,
                           std::string_view a4 = kNull, std::string_view a5 = kNull,
                           std::string_view a6 = kNull, std::string_view a7 = kNull,
                           std::string_view a8 = kNull, std::string_view a9 = kNull);

/// GetMessageText against a given catalogue (the process-wide one uses LDM().Sil).
std::string MessageTextFrom(const Catalogue& catalogue, std::string_view id,
                            const std::array<std::string_view, 10>& args);

/// The stored message table embedded in the executable (resource CATALOGUE/SIL)
/// and the main window's table (CATALOGUE/SILL). Throw std::runtime_error when
/// the executable carries none.
CatalogueTable EmbeddedSilTable();
CatalogueTable EmbeddedSillTable();

}  // namespace tarnvel::i18n
