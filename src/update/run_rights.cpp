#include "update/run_rights.h"

#include <stdexcept>

#include "i18n/ldm.h"

namespace tarnvel {

std::string RunRightsFinding(const std::vector<std::string>& Missing) {
  if (Missing.empty()) return {};
  std::string names;
  for (const std::string& name : Missing) names += (names.empty() ? "" : ", ") + name;
  return i18n::GetMessageText("uUpdate_CheckRunRights_1", names);
}

void CheckRunRights(const std::vector<std::string>& Missing) {
  const std::string finding = RunRightsFinding(Missing);
  if (!finding.empty()) throw std::runtime_error(finding);
}

}  // namespace tarnvel
