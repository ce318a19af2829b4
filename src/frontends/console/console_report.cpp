#include "frontends/console/console_report.h"

#include <cstdio>
#include <fstream>
#include <string>

#include "sysroutines/file_system.h"
#include "sysroutines/paths.h"
#include "sysroutines/replace_file.h"
#include "sysroutines/resolved_path.h"
#include "update/json_text.h"

namespace tarnvel::console {
namespace {

std::string Number(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.3f", value);
  return buffer;
}

}  // namespace

std::string ReportPathProblem(const std::string& path, const std::string& productFolder) {
  if (sys::PathIsInside(path, productFolder)) {
    return "The report " + path + " would lie inside the product folder " + productFolder +
           ": choose a file outside it.";
  }
  const auto attributes = sys::GetFileAttributesOf(path);
  if (!attributes) return {};
  const bool plainFile = (*attributes & (sys::kAttrLink | sys::kAttrDirectory)) == 0 && sys::FileExists(path);
  // Only the head is read: the path may name a file of gigabytes.
  std::string head(std::char_traits<char>::length(kReportHead), '\0');
  std::ifstream file;
  if (plainFile) file.open(sys::PathFromUtf8(path), std::ios::binary);
  if (!plainFile || !file.read(head.data(), static_cast<std::streamsize>(head.size())) || head != kReportHead) {
    return "The report " + path + " names something that is not a report of this program; it is not replaced.";
  }
  return {};
}

bool WriteReportFile(const std::string& path, const RunReport& report) {
  return sys::WriteFileReplacing(path, ReportJson(report));
}

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
  out += report.entries.empty() ? "]\n" : "\n  ]\n";
  return out + "}\n";
}

}  // namespace tarnvel::console
