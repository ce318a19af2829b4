#pragma once
// The findings of a check as a table for a terminal or a log reader: the
// verdict, the topic, the text (further lines of a text indented under it).

#include <string>
#include <vector>

#include "update/preflight_check.h"

namespace tarnvel::console {

std::string CheckTable(const std::vector<CheckFinding>& findings);

}  // namespace tarnvel::console
