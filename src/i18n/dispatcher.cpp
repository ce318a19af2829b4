#include "i18n/dispatcher.h"

#include <algorithm>

namespace tarnvel::i18n {

void LanguageDispatcher::SetActiveLanguage(int language) {
  if (language < 1 || language > kLanguageCount) return;
  activeLanguage_ = language;
  for (Catalogue* component : linked_) component->SetActiveLanguage(language);
}

std::string LanguageDispatcher::Link(Catalogue& component) {
  if (std::find(linked_.begin(), linked_.end(), &component) == linked_.end()) linked_.push_back(&component);
  component.SetActiveLanguage(activeLanguage_);
  return OnLinkToDispatcher ? OnLinkToDispatcher(component) : std::string();
}

void LanguageDispatcher::Unlink(Catalogue& component) {
  linked_.erase(std::remove(linked_.begin(), linked_.end(), &component), linked_.end());
}

}  // namespace tarnvel::i18n
