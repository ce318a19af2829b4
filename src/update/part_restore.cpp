#include "update/part_restore.h"

#include <map>
#include <optional>

#include "sysroutines/directory_reader.h"
#include "sysroutines/file_copy.h"
#include "sysroutines/file_system.h"
#include "sysroutines/paths.h"
#include "sysroutines/replace_file.h"

namespace tarnvel {
namespace {

using Listing = std::map<std::string, sys::DirectoryEntry>;

std::string Join(const std::string& folder, const std::string& name) {
  return sys::IncludeTrailingPathDelimiter(folder) + name;
}

bool IsLink(const sys::DirectoryEntry& entry) {
  return (entry.attributes & sys::kAttrLink) != 0;
}
bool IsFolder(const sys::DirectoryEntry& entry) {
  return !IsLink(entry) && (entry.attributes & sys::kAttrDirectory) != 0;
}

// One folder's entries by name; nullopt when it cannot be listed to its end.
// A part's folders are listed one at a time, never the whole tree at once.
std::optional<Listing> List(const std::string& folder) {
  Listing entries;
  sys::DirectoryReader reader(folder);
  while (auto entry = reader.Next()) entries.emplace(entry->name, std::move(*entry));
  if (reader.Failed()) return std::nullopt;
  return entries;
}

// Equal for a rollback: a copied link is a new link with a time of its own.
bool SameEntry(const sys::DirectoryEntry& a, const sys::DirectoryEntry& b) {
  if (IsLink(a) || IsLink(b)) return IsLink(a) && IsLink(b);
  if (IsFolder(a) || IsFolder(b)) return IsFolder(a) && IsFolder(b);
  return a.size == b.size && a.modified == b.modified;
}

// The name given is free in Folder: the first of Name, Name-2, Name-3, ...
std::string FreeName(const std::string& folder, const std::string& name) {
  std::string candidate = Join(folder, name);
  for (int n = 2; sys::GetFileAttributesOf(candidate); ++n) candidate = Join(folder, name + "-" + std::to_string(n));
  return candidate;
}

std::string LastName(const std::string& path) {
  std::string text = path;
  while (text.size() > 1 && text.back() == sys::kPathDelimiter) text.pop_back();
  const std::size_t cut = text.find_last_of(sys::kPathDelimiter);
  return cut == std::string::npos ? text : text.substr(cut + 1);
}

// Copies the backup beside the installed part and swaps the two by renames.
// False, with nothing installed changed, when the swap cannot happen.
bool Swap(const std::string& installed, const std::string& backup, const std::string& workFolder,
          const TreeCopyProgress& progress, PartRestore& result) {
  const std::string name = LastName(installed);
  const std::string restored = FreeName(workFolder, name + ".restore");
  try {
    MyCopyDir(backup, restored, progress);
  } catch (const std::exception&) {
    // An incomplete copy is ours to remove; the part is still as it was.
    try {
      MyRemoveDir(restored);
    } catch (const std::exception&) {
    }
    return false;
  }
  if (!sys::GetFileAttributesOf(installed)) {
    // Nothing installed is left to move aside.
    if (!sys::RenameEntry(restored, installed)) return false;
    result.way = PartRestore::Way::Swapped;
    return true;
  }
  const std::string displaced = FreeName(workFolder, name + ".replaced");
  if (!sys::RenameEntry(installed, displaced)) {
    try {
      MyRemoveDir(restored);
    } catch (const std::exception&) {
    }
    return false;
  }
  if (sys::RenameEntry(restored, installed)) {
    result.way = PartRestore::Way::Swapped;
    result.displaced = displaced;
    return true;
  }
  // The installed part's name is free, yet the copy cannot take it: the part
  // goes back under its own name, and is then restored file by file.
  if (!sys::RenameEntry(displaced, installed)) {
    result.displaced = displaced;
    result.notRestored.push_back(installed);
  }
  return false;
}

// Replaces, below Installed, each file that differs from Backup.
void RestoreFileByFile(const std::string& installed, const std::string& backup, PartRestore& result) {
  if (!sys::CreateDirectoryTree(installed)) {
    result.notRestored.push_back(installed);
    return;
  }
  const std::optional<Listing> saved = List(backup);
  std::optional<Listing> present = List(installed);
  if (!saved || !present) {
    result.notRestored.push_back(installed);
    return;
  }
  for (const auto& [name, entry] : *saved) {
    const std::string target = Join(installed, name);
    const std::string source = Join(backup, name);
    const auto there = present->find(name);
    if (there != present->end() && SameEntry(there->second, entry)) {
      if (IsFolder(entry)) RestoreFileByFile(target, source, result);
      continue;
    }
    bool restored = false;
    if (IsFolder(entry)) {
      // A file or link where the backup has a folder stays; the folder's
      // files cannot go back under it.
      restored = there == present->end();
      if (restored) RestoreFileByFile(target, source, result);
    } else if (IsLink(entry)) {
      restored = (there == present->end() || !IsFolder(there->second)) && sys::CopyLink(source, target);
    } else {
      restored = (there == present->end() || !IsFolder(there->second)) && sys::ReplaceFileSafely(source, target);
    }
    if (!restored) result.notRestored.push_back(target);
  }
}

}  // namespace

bool TreesEqual(const std::string& folder, const std::string& backup) {
  const std::optional<Listing> a = List(folder);
  const std::optional<Listing> b = List(backup);
  if (!a || !b || a->size() != b->size()) return false;
  for (const auto& [name, entry] : *a) {
    const auto other = b->find(name);
    if (other == b->end() || !SameEntry(entry, other->second)) return false;
    if (IsFolder(entry) && !TreesEqual(Join(folder, name), Join(backup, name))) return false;
  }
  return true;
}

PartRestore RestorePart(const std::string& installed, const std::string& backup, const std::string& workFolder,
                        const TreeCopyProgress& progress) {
  PartRestore result;
  const auto kind = sys::GetFileAttributesOf(installed);
  if (kind && sys::DirectoryExists(installed) && TreesEqual(installed, backup)) return result;
  // A part that is a link to a folder elsewhere stays that link: its files
  // are put back where it points.
  const bool linked = kind && (*kind & sys::kAttrLink) != 0;
  if (!linked && Swap(installed, backup, workFolder, progress, result)) return result;
  if (!result.notRestored.empty()) return result;
  result.way = PartRestore::Way::FileByFile;
  RestoreFileByFile(installed, backup, result);
  return result;
}

}  // namespace tarnvel
