#include "frontends/console/console_check_table.h"

#include <algorithm>

#include "app/run_log.h"

namespace tarnvel::console {
namespace {

// Characters, not bytes, so that the columns line up in every language.
std::size_t Width(const std::string& text) {
  return static_cast<std::size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string Padded(const std::string& text, std::size_t width) {
  return text + std::string(width > Width(text) ? width - Width(text) : 0, ' ') + "  ";
}

}  // namespace

std::string CheckTable(const std::vector<CheckFinding>& findings) {
  std::size_t verdictWidth = 0, topicWidth = 0;
  for (const CheckFinding& finding : findings) {
    verdictWidth = std::max(verdictWidth, Width(CheckVerdictText(finding.verdict)));
    topicWidth = std::max(topicWidth, Width(finding.topic));
  }
  std::string table;
  const std::string indent(verdictWidth + topicWidth + 4, ' ');
  for (const CheckFinding& finding : findings) {
    const std::vector<std::string> lines = SplitLines(finding.text);
    table += Padded(CheckVerdictText(finding.verdict), verdictWidth) + Padded(finding.topic, topicWidth) +
             lines.front() + "\n";
    for (std::size_t i = 1; i < lines.size(); ++i) table += indent + lines[i] + "\n";
  }
  return table;
}

}  // namespace tarnvel::console
