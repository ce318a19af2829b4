#pragma once
// The language dispatcher: holds the active language and passes it on to every
// catalogue component linked to it.

#include <functional>
#include <string>
#include <vector>

#include "i18n/catalogue.h"

namespace tarnvel::i18n {

class LanguageDispatcher {
 public:
  int ActiveLanguage() const { return activeLanguage_; }
  /// Sets the language (1..5; other values are ignored) and passes it on to
  /// every linked component.
  void SetActiveLanguage(int language);

  /// Links a component: it takes the active language, then the link event
  /// fires with it. Returns what the event handler returned (the empty-text
  /// report of the component, for the one who linked it to show), or empty
  /// without a handler. The component must outlive the dispatcher or be
  /// unlinked.
  std::string Link(Catalogue& component);
  void Unlink(Catalogue& component);

  /// Fired after a component has linked.
  std::function<std::string(Catalogue&)> OnLinkToDispatcher;

 private:
  int activeLanguage_ = 1;
  std::vector<Catalogue*> linked_;
};

}  // namespace tarnvel::i18n
