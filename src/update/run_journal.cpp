#include "update/run_journal.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "sysroutines/directory_reader.h"
#include "sysroutines/durable_rename.h"
#include "sysroutines/file_system.h"
#include "sysroutines/local_time.h"
#include "sysroutines/paths.h"
#include "sysroutines/text_helpers.h"
#include "update/json_text.h"

namespace tarnvel {
namespace {

std::string Join(const std::string& folder, const std::string& name) {
  return sys::IncludeTrailingPathDelimiter(folder) + name;
}

// A JSON string starting at Text[At] (its opening quote); At ends after it.
std::optional<std::string> ReadString(const std::string& text, std::size_t& at) {
  if (at >= text.size() || text[at] != '"') return std::nullopt;
  std::string out;
  for (++at; at < text.size(); ++at) {
    const char c = text[at];
    if (c == '"') {
      ++at;
      return out;
    }
    if (c != '\\') {
      out += c;
      continue;
    }
    if (++at >= text.size()) return std::nullopt;
    switch (text[at]) {
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      case 't':
        out += '\t';
        break;
      case 'u': {
        if (at + 4 >= text.size()) return std::nullopt;
        const unsigned long code = std::strtoul(text.substr(at + 1, 4).c_str(), nullptr, 16);
        if (code >= 0x20) return std::nullopt;  // only control characters are written this way
        out += static_cast<char>(code);
        at += 4;
        break;
      }
      default:
        out += text[at];
    }
  }
  return std::nullopt;
}

void SkipBlanks(const std::string& text, std::size_t& at) {
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
}

std::string Now() {
  const sys::LocalDateTime now = sys::CurrentLocalDateTime();
  using sys::TwoDigitString;
  return std::to_string(now.year) + "-" + TwoDigitString(now.month) + "-" + TwoDigitString(now.day) + " " +
         TwoDigitString(now.hour) + ":" + TwoDigitString(now.minute) + ":" + TwoDigitString(now.second);
}

std::string Stamp() {
  const sys::LocalDateTime now = sys::CurrentLocalDateTime();
  using sys::TwoDigitString;
  return std::to_string(now.year) + TwoDigitString(now.month) + TwoDigitString(now.day) + "-" +
         TwoDigitString(now.hour) + TwoDigitString(now.minute) + TwoDigitString(now.second);
}

// Keeps the newest Keep journals in Folder (their names sort by time).
void Prune(const std::string& folder, int keep) {
  std::vector<std::string> names;
  sys::DirectoryReader reader(folder);
  while (const auto entry = reader.Next()) {
    if ((entry->attributes & (sys::kAttrDirectory | sys::kAttrLink)) == 0) names.push_back(entry->name);
  }
  std::sort(names.begin(), names.end());
  for (std::size_t i = 0; i + keep < names.size(); ++i) sys::DeleteFileAt(Join(folder, names[i]));
}

}  // namespace

std::string JournalLine(const std::string& event, const JournalDetails& details) {
  std::string line = "{\"event\":" + JsonQuoted(event) + ",\"time\":" + JsonQuoted(Now());
  for (const auto& [key, value] : details) line += "," + JsonQuoted(key) + ":" + JsonQuoted(value);
  return line + "}\n";
}

std::optional<JournalRecord> ParseJournalLine(const std::string& line) {
  std::size_t at = 0;
  SkipBlanks(line, at);
  if (at >= line.size() || line[at] != '{') return std::nullopt;
  ++at;
  JournalRecord record;
  for (;;) {
    SkipBlanks(line, at);
    const auto key = ReadString(line, at);
    SkipBlanks(line, at);
    if (!key || at >= line.size() || line[at] != ':') return std::nullopt;
    ++at;
    SkipBlanks(line, at);
    const auto value = ReadString(line, at);
    if (!value) return std::nullopt;
    if (*key == "event") {
      record.event = *value;
    } else {
      record.details[*key] = *value;
    }
    SkipBlanks(line, at);
    if (at < line.size() && line[at] == ',') {
      ++at;
      continue;
    }
    if (at < line.size() && line[at] == '}' && !record.event.empty()) return record;
    return std::nullopt;
  }
}

std::string JournalState::Start(const std::string& key) const {
  if (records.empty()) return {};
  const auto found = records.front().details.find(key);
  return found == records.front().details.end() ? std::string() : found->second;
}

bool JournalState::Has(const std::string& event) const {
  return std::any_of(records.begin(), records.end(), [&](const JournalRecord& r) { return r.event == event; });
}

bool JournalState::HasAfter(const std::string& event, const std::string& later) const {
  bool seen = false;
  for (const JournalRecord& record : records) {
    if (record.event == event) seen = true;
    if (record.event == later) seen = false;
  }
  return seen;
}

std::string JournalState::Detail(const std::string& event, const std::string& key) const {
  std::string value;
  for (const JournalRecord& record : records) {
    if (record.event != event) continue;
    const auto found = record.details.find(key);
    if (found != record.details.end()) value = found->second;
  }
  return value;
}

std::string JournalState::LastEvent() const {
  return records.empty() ? std::string() : records.back().event;
}

std::string RunJournal::CurrentPath(const std::string& stateFolder) {
  return Join(stateFolder, "run-journal.jsonl");
}

RunJournal::RunJournal(std::string stateFolder, const JournalDetails& start)
    : stateFolder_(std::move(stateFolder)), path_(CurrentPath(stateFolder_)) {
  if (!sys::CreateDirectoryTree(stateFolder_) || !Record(journal::kRunStarted, start)) {
    throw std::runtime_error("The run journal " + path_ + " cannot be written.");
  }
}

RunJournal::RunJournal(std::string stateFolder, std::string path, bool)
    : stateFolder_(std::move(stateFolder)), path_(std::move(path)) {}

bool RunJournal::Record(const std::string& event, const JournalDetails& details) {
  return sys::AppendDurably(path_, JournalLine(event, details));
}

bool RunJournal::End(const std::string& outcome) {
  if (!Record(journal::kRunEnded, {{"outcome", outcome}})) return false;
  const std::string ended = Join(stateFolder_, "ended");
  if (!sys::CreateDirectoryTree(ended)) return false;
  std::string target = Join(ended, Stamp() + ".jsonl");
  for (int n = 2; sys::GetFileAttributesOf(target); ++n) target = Join(ended, Stamp() + "-" + std::to_string(n) + ".jsonl");
  if (!sys::RenameEntry(path_, target)) return false;
  Prune(ended, kKeptEnded);
  return true;
}

std::optional<JournalState> ReadUnfinishedJournal(const std::string& stateFolder) {
  JournalState state;
  state.path = RunJournal::CurrentPath(stateFolder);
  std::ifstream file(sys::PathFromUtf8(state.path), std::ios::binary);
  if (!file) return std::nullopt;
  std::string line;
  while (std::getline(file, line)) {
    // A line cut short by the kill is the last one; it announced nothing done.
    if (const auto record = ParseJournalLine(line)) state.records.push_back(*record);
  }
  if (state.records.empty() || state.Has(journal::kRunEnded)) return std::nullopt;
  return state;
}

}  // namespace tarnvel
