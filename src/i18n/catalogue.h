#pragma once
// A catalogue component: one table, the active language column and the lookup
// with fallback to column 1.

#include <array>
#include <string>
#include <string_view>

#include "i18n/catalogue_table.h"

namespace tarnvel::i18n {

/// Names of the five language columns, column 1 first.
extern const std::array<std::string_view, kLanguageCount> kLanguageNames;

class Catalogue {
 public:
  /// Name: the component's name ("Sil", "Sill"); OwnerName: its owner's
  /// ("LDM", "frmMain"), used by the empty-text report.
  Catalogue(std::string name, std::string ownerName, CatalogueTable table);

  const std::string& Name() const { return name_; }
  const std::string& OwnerName() const { return ownerName_; }
  const CatalogueTable& Table() const { return table_; }

  /// 1..5; column 1 is the default.
  int ActiveLanguage() const { return activeLanguage_; }
  /// Values outside 1..5 are ignored.
  void SetActiveLanguage(int language);

  /// The row of Section whose identifier equals Id without regard to case.
  const CatalogueRow* FindRow(Section section, std::string_view id) const;

  /// The row's text in the active column, or column 1's when that is empty.
  std::string TextOf(const CatalogueRow& row) const;
  /// The row's text in the active column, without fallback.
  const std::string& ActiveTextOf(const CatalogueRow& row) const;

 private:
  std::string name_;
  std::string ownerName_;
  CatalogueTable table_;
  int activeLanguage_ = 1;
};

}  // namespace tarnvel::i18n
