#include "update/folder_ops.h"

#include <stdexcept>
#include <vector>

#include "i18n/ldm.h"
#include "sysroutines/directory_handle.h"
#include "sysroutines/directory_reader.h"
#include "sysroutines/file_copy.h"
#include "sysroutines/file_system.h"
#include "sysroutines/force_copy_file.h"
#include "sysroutines/paths.h"
#include "update/system_reason.h"

namespace tarnvel {
namespace {

bool IsLink(std::uint32_t attributes) {
  return (attributes & sys::kAttrLink) != 0;
}
bool IsFolder(std::uint32_t attributes) {
  return (attributes & sys::kAttrDirectory) != 0;
}

[[noreturn]] void Fail(const char* id, const std::string& argument) {
  throw std::runtime_error(i18n::GetMessageText(id, argument));
}

// Removes the entry Name of Parent, a folder with everything in it; Path
// names it for the operator. Each folder is entered through the handle of
// the folder above it, and only when what is opened is a real folder: a link
// found there, listed or swapped in later, goes as itself.
void RemoveTree(const sys::DirectoryHandle& parent, const std::string& name, const std::string& path) {
  {
    sys::DirectoryHandle folder;
    switch (parent.OpenFolder(name, folder)) {
      case sys::DirectoryHandle::Opened::kMissing:
        return;
      case sys::DirectoryHandle::Opened::kFailed:
        return;  // it cannot be emptied, so it stays, as a folder that cannot be removed
      case sys::DirectoryHandle::Opened::kNotAFolder:
        if (!parent.RemoveEntry(name)) Fail("uUpdate_MyRemoveDir_1", path);
        return;
      case sys::DirectoryHandle::Opened::kFolder:
        break;
    }
    const std::string prefix = sys::IncludeTrailingPathDelimiter(path);
    while (const auto entry = folder.Next()) {
      if (IsFolder(entry->attributes) && !IsLink(entry->attributes)) {
        RemoveTree(folder, entry->name, prefix + entry->name);
      } else if (!folder.RemoveEntry(entry->name)) {
        Fail("uUpdate_MyRemoveDir_1", prefix + entry->name);
      }
    }
  }  // closed first: Windows deletes a folder only when its last handle closes
  // A folder still in use or not empty stays behind; the caller is not told.
  parent.RemoveFolder(name);
}

// What one tree copy collects on its way.
struct CopyState {
  std::vector<std::string> skipped;
  const TreeCopyProgress* progress = nullptr;
  std::uint64_t done = 0;
  std::uint64_t total = 0;
};

sys::SysResult CopyOneFile(const std::string& from, const std::string& to, CopyState& state) {
  if (state.progress == nullptr) return sys::ForceCopyFile(from, to);
  std::uint64_t copied = 0;
  const sys::SysResult result = sys::ForceCopyFile(from, to, [&](std::uint64_t bytes) {
    copied = bytes;
    (*state.progress)(state.done + copied, state.total);
  });
  state.done += copied;
  return result;
}

// A file that was not copied, with the system's reason when it gave one (a
// full disk, a file in use) so that the operator knows what to mend.
std::string SkippedFile(const std::string& path, sys::SysResult result) {
  const std::string reason = SystemReasonText(result);
  return reason.empty() ? path : path + ": " + reason;
}

// Source and Target end with a delimiter. Files that could not be copied are
// added to Skipped, and so is a folder that could not be listed to its end:
// copied as empty it would pass for complete.
void CopyTree(const std::string& source, const std::string& target, CopyState& state) {
  std::vector<std::string>& skipped = state.skipped;
  if (!sys::DirectoryExists(source)) Fail("uUpdate_MyCopyDir_1", source);
  if (!sys::CreateDirectoryTree(target)) Fail("uUpdate_MyCopyDir_2", target);
  sys::DirectoryReader reader(source);
  while (const auto entry = reader.Next()) {
    const std::string from = source + entry->name;
    const std::string to = target + entry->name;
    if (IsLink(entry->attributes)) {
      if (!sys::CopyLink(from, to)) skipped.push_back(from);
    } else if (IsFolder(entry->attributes)) {
      // A link in the target where the source has a folder would carry the
      // copy out of the tree: it gives way to a real folder.
      const auto there = sys::GetFileAttributesOf(to);
      if (there && IsLink(*there) && !sys::RemoveLink(to)) {
        Fail("uUpdate_MyCopyDir_2", sys::IncludeTrailingPathDelimiter(to));
      }
      CopyTree(sys::IncludeTrailingPathDelimiter(from), sys::IncludeTrailingPathDelimiter(to), state);
    } else if (const sys::SysResult copied = CopyOneFile(from, to, state); !copied) {
      skipped.push_back(SkippedFile(from, copied));
    }
  }
  if (reader.Failed()) skipped.push_back(source);
}

}  // namespace

std::uint64_t TreeBytes(const std::string& folder) {
  std::uint64_t bytes = 0;
  const std::string prefix = sys::IncludeTrailingPathDelimiter(folder);
  sys::DirectoryReader reader(prefix);
  while (const auto entry = reader.Next()) {
    if (IsLink(entry->attributes)) continue;
    bytes += IsFolder(entry->attributes) ? TreeBytes(prefix + entry->name) : entry->size;
  }
  return bytes;
}

void MyRemoveDir(const std::string& Folder) {
  // An empty path would name the root of the current drive; a root, once
  // emptied, is a whole file system gone.
  if (Folder.empty()) Fail("uUpdate_MyRemoveDir_1", "\"\"");
  if (sys::IsFileSystemRoot(Folder)) Fail("uUpdate_MyRemoveDir_1", Folder);
  // Folder itself is reached from the folder above it, so that a link
  // standing in its place is removed, never followed.
  std::string name;
  const sys::DirectoryHandle parent = sys::DirectoryHandle::OpenParentOf(Folder, name);
  if (parent.IsOpen()) RemoveTree(parent, name, Folder);
}

void MyCreateDir(const std::string& Folder) {
  if (!sys::CreateOneDirectory(Folder)) Fail("uUpdate_MyCreateDir_1", Folder);
}

void MyCopyDir(const std::string& Source, const std::string& Target, const TreeCopyProgress& progress) {
  const std::string source = sys::IncludeTrailingPathDelimiter(Source);
  const std::string target = sys::IncludeTrailingPathDelimiter(Target);
  CopyState state;
  if (progress) {
    state.progress = &progress;
    state.total = sys::DirectoryExists(source) ? TreeBytes(source) : 0;
    progress(0, state.total);
  }
  CopyTree(source, target, state);
  // A tree that shrank or grew while it was copied still ends at its end.
  if (progress) progress(state.total, state.total);
  if (state.skipped.empty()) return;
  std::string list;
  for (const std::string& file : state.skipped) list += (list.empty() ? "" : "\r\n") + file;
  throw std::runtime_error(i18n::GetMessageText("uUpdate_MyCopyDir_3", target, list));
}

}  // namespace tarnvel
