#include "frontends/console/console_report.h"

#include <cstdio>
#include <string>

#include "update/json_text.h"

namespace tarnvel::console {
namespace {

std::string Number(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.3f", value);
  return buffer;
}

}  // namespace

std::string IsoTime(const sys::LocalDateTime& when) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", when.year, when.month, when.day,
                when.hour, when.minute, when.second);
  return buffer;
}

std::string JsonString(const std::string& text) {
  return JsonQuoted(text);
}

std::string ReportJson(const RunReport& report) {
  std::string out = kReportHead;
  out += "  \"command\": " + JsonString(report.command) + ",\n";
  out += "  \"folder\": " + JsonString(report.folder) + ",\n";
  out += "  \"outcome\": " + JsonString(OutcomeName(report.outcome)) + ",\n";
  out += "  \"exitCode\": " + std::to_string(ExitCode(report.outcome)) + ",\n";
  out += std::string("  \"rolledBack\": ") + (report.rolledBack ? "true" : "false") + ",\n";
  out += "  \"failure\": " + JsonString(report.failure) + ",\n";
  out += "  \"backupFolder\": " + JsonString(report.backupFolder) + ",\n";
  out += std::string("  \"backupComplete\": ") + (report.backupComplete ? "true" : "false") + ",\n";
  out += "  \"logFile\": " + JsonString(report.logFile) + ",\n";
  out += "  \"started\": " + JsonString(report.started) + ",\n";
  out += "  \"durationSeconds\": " + Number(report.durationSeconds) + ",\n";
  out += "  \"databaseDowntimeSeconds\": " +
         (report.downtimeSeconds ? Number(*report.downtimeSeconds) : std::string("null")) + ",\n";
  out += "  \"entries\": [";
  for (std::size_t i = 0; i < report.entries.size(); ++i) {
    const ReportEntry& entry = report.entries[i];
    const double next =
        i + 1 < report.entries.size() ? report.entries[i + 1].seconds : report.durationSeconds;
    out += i == 0 ? "\n" : ",\n";
    out += "    {\"time\": " + JsonString(entry.time) + ", \"seconds\": " + Number(entry.seconds) +
           ", \"stepSeconds\": " + Number(next - entry.seconds) + ", \"text\": " + JsonString(entry.text) +
           "}";
  }
  out += report.entries.empty() ? "]" : "\n  ]";
  if (report.findings) {
    out += ",\n  \"findings\": [";
    for (std::size_t i = 0; i < report.findings->size(); ++i) {
      const CheckFinding& finding = (*report.findings)[i];
      out += i == 0 ? "\n" : ",\n";
      out += "    {\"topic\": " + JsonString(finding.topic) + ", \"verdict\": " +
             JsonString(CheckVerdictName(finding.verdict)) + ", \"text\": " + JsonString(finding.text) + "}";
    }
    out += report.findings->empty() ? "]" : "\n  ]";
  }
  return out + "\n}\n";
}

}  // namespace tarnvel::console
